#pragma once
// The system's file dialogs.

#include <windows.h>

#include <optional>
#include <string>

namespace tarvo::platform {

// The save dialog. `filter` is written "Text(*.txt)|*.txt" (pairs separated by "|");
// `defaultExtension` without the dot. Nullopt when the user cancels.
[[nodiscard]] std::optional<std::wstring> AskSaveFileName(HWND owner, const std::wstring& defaultName,
                                                          const std::wstring& defaultExtension,
                                                          const std::wstring& filter);

}  // namespace tarvo::platform
