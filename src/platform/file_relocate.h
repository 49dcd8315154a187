#pragma once
// Moving files out of the way: into a backup folder, back again, or away at the next restart.
// Also the attribute change and the in-place overwrite the shredder needs.

#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// MoveFileExW(from, to, MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH); never replaces `to`.
// Across volumes Windows copies and may leave the source behind when it is in use: callers
// that need the source gone must look again.
[[nodiscard]] bool MoveFileAcross(const std::wstring& from, const std::wstring& to) noexcept;
// CopyFileW, failing when `to` exists.
[[nodiscard]] bool CopyFileOf(const std::wstring& from, const std::wstring& to) noexcept;
// MoveFileExW(path, NULL, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT).
[[nodiscard]] bool MoveFileDelayUntilReboot(const std::wstring& path) noexcept;
[[nodiscard]] bool SetFileAttributesOf(const std::wstring& path, DWORD attributes) noexcept;

// Writes `size` bytes at the file pointer; false on a short or failed write.
[[nodiscard]] bool WriteFileBytesAt(const unique_hfile& file, const void* data, std::size_t size) noexcept;
[[nodiscard]] bool SeekFileStart(const unique_hfile& file) noexcept;
[[nodiscard]] bool FlushFile(const unique_hfile& file) noexcept;

}  // namespace tarvo::platform
