#pragma once
// The system's open-file dialog.

#include <windows.h>

#include <optional>
#include <string>

namespace tarvo::platform {

// GetOpenFileName starting in `initialFolder`. `filter` is written "Programs|*.exe|All|*.*"
// (pairs separated by "|"); `filterIndex` counts from 1. Nullopt when the user cancels.
[[nodiscard]] std::optional<std::wstring> AskOpenFileName(HWND owner, const std::wstring& initialFolder,
                                                          const std::wstring& filter, DWORD filterIndex);

}  // namespace tarvo::platform
