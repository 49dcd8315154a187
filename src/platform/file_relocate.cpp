#include "platform/file_relocate.h"

#include "platform/call_counter.h"
#include "platform/files.h"

namespace tarvo::platform {

bool MoveFileAcross(const std::wstring& from, const std::wstring& to) noexcept {
    CallCounter::Add(ApiCall::MoveFile);
    return ::MoveFileExW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(),
                         MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool CopyFileOf(const std::wstring& from, const std::wstring& to) noexcept {
    CallCounter::Add(ApiCall::MoveFile);
    return ::CopyFileW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(), TRUE) != FALSE;
}

bool MoveFileDelayUntilReboot(const std::wstring& path) noexcept {
    CallCounter::Add(ApiCall::MoveFile);
    // The session manager replays the name at boot, where the "\\?\" form is not understood.
    return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool SetFileAttributesOf(const std::wstring& path, DWORD attributes) noexcept {
    CallCounter::Add(ApiCall::SetFileAttributes);
    return ::SetFileAttributesW(ExtendedLengthPath(path).c_str(), attributes) != FALSE;
}

bool WriteFileBytesAt(const unique_hfile& file, const void* data, std::size_t size) noexcept {
    const auto* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool SeekFileStart(const unique_hfile& file) noexcept {
    return ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

bool FlushFile(const unique_hfile& file) noexcept { return ::FlushFileBuffers(file.get()) != FALSE; }

}  // namespace tarvo::platform
