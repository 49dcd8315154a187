#pragma once
// Files dropped on a window from Explorer.

#include <windows.h>

#include <string>

namespace tarvo::platform {

// The first dropped file's path (at most MAX_PATH characters), and the drop finished
// (DragFinish) in every case; empty when the drop holds no file.
[[nodiscard]] std::wstring TakeFirstDroppedFile(HDROP drop) noexcept;

// DragAcceptFiles.
void AcceptDroppedFiles(HWND window, bool accept) noexcept;

}  // namespace tarvo::platform
