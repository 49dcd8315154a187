#pragma once
// File-system queries and operations. Paths of any length: a path that would pass MAX_PATH
// is handed to Windows in its "\\?\" form.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// "C:\x" -> "\\?\C:\x", "\\srv\share" -> "\\?\UNC\srv\share" when the path is too long for
// the classic APIs; shorter or already-prefixed paths come back unchanged.
[[nodiscard]] std::wstring ExtendedLengthPath(const std::wstring& path);

// FindFirstFile/FindNextFile in the file system's own order, hidden and system entries
// included. "." and ".." are reported as the file system reports them.
class FileFinder {
public:
    [[nodiscard]] bool FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) noexcept;
    [[nodiscard]] bool FindNext(WIN32_FIND_DATAW& data) noexcept;
    void Close() noexcept { find_.reset(); }

private:
    unique_hfind find_;
};

[[nodiscard]] bool IsDotName(const wchar_t* name) noexcept;
[[nodiscard]] inline bool IsReparsePoint(DWORD attributes) noexcept {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

[[nodiscard]] DWORD GetFileAttributesOf(const std::wstring& path) noexcept;  // INVALID_FILE_ATTRIBUTES when absent
[[nodiscard]] bool FileExists(const std::wstring& path) noexcept;    // a file, not a folder
[[nodiscard]] bool FolderExists(const std::wstring& path) noexcept;  // a folder, not a file

struct FileTimes {
    FILETIME creation{};
    FILETIME lastAccess{};
    FILETIME lastWrite{};
};

// Attributes, times and size in one question; nothing when the path does not exist.
[[nodiscard]] std::optional<WIN32_FILE_ATTRIBUTE_DATA> GetFileAttributesExOf(const std::wstring& path) noexcept;
[[nodiscard]] std::optional<ULONGLONG> GetFileSizeOf(const std::wstring& path) noexcept;
[[nodiscard]] std::optional<FileTimes> GetFileTimesOf(const std::wstring& path) noexcept;

[[nodiscard]] unique_hfile CreateFileOf(const std::wstring& path, DWORD access, DWORD share,
                                        DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL) noexcept;
[[nodiscard]] bool DeleteFileOf(const std::wstring& path) noexcept;
[[nodiscard]] bool CreateDirectoryOf(const std::wstring& path) noexcept;
[[nodiscard]] bool RemoveDirectoryOf(const std::wstring& path) noexcept;

}  // namespace tarvo::platform
