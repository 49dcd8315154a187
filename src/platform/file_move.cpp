#include "platform/file_move.h"

#include <windows.h>

#include "platform/files.h"

namespace tarvo::platform {

bool MoveFileReplacing(const std::wstring& from, const std::wstring& to) noexcept {
    return ::MoveFileExW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool DeleteFileAtRestart(const std::wstring& path) noexcept {
    // The session manager replays the name at boot, where the "\\?\" form is not understood.
    return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

}  // namespace tarvo::platform
