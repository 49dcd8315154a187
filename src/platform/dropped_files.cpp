#include "platform/dropped_files.h"

#include <shellapi.h>

namespace tarvo::platform {

std::wstring TakeFirstDroppedFile(HDROP drop) noexcept {
    if (!drop) return {};
    wchar_t path[MAX_PATH + 1] = {};
    const UINT length = ::DragQueryFileW(drop, 0, path, MAX_PATH + 1);
    ::DragFinish(drop);
    return length == 0 ? std::wstring() : std::wstring(path);
}

void AcceptDroppedFiles(HWND window, bool accept) noexcept { ::DragAcceptFiles(window, accept ? TRUE : FALSE); }

}  // namespace tarvo::platform
