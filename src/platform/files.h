#pragma once
// Files, folders and volumes: find, attributes, read and write, move and delete (now or at
// restart), long names, drives, WOW64 redirection and INI profile files. Thin, counted, never throws.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

struct ListedFile;

// File-system queries and operations. Paths of any length: a path that would pass MAX_PATH
// is handed to Windows in its "\\?\" form.

// "C:\x" -> "\\?\C:\x", "\\srv\share" -> "\\?\UNC\srv\share" when the path is too long for
// the classic APIs; shorter or already-prefixed paths come back unchanged.
[[nodiscard]] std::wstring ExtendedLengthPath(const std::wstring& path);

// FindFirstFile/FindNextFile in the file system's own order, hidden and system entries
// included. "." and ".." are reported as the file system reports them.
class FileFinder {
public:
    [[nodiscard]] bool FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) noexcept;
    [[nodiscard]] bool FindNext(WIN32_FIND_DATAW& data) noexcept;
    void Close() noexcept {
        find_.reset();
        listed_ = nullptr;
    }

private:
    unique_hfind find_;
    // A listing the thread's read memo answered instead (see read_memo.h).
    const std::vector<ListedFile>* listed_ = nullptr;
    std::size_t next_ = 0;
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

// Whole-file reads and writes for the small text files the program keeps for itself.

// The file's bytes; nullopt when it cannot be opened or read.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::wstring& path) noexcept;
// Replaces the file's content (creating it); false when it cannot be written completely.
[[nodiscard]] bool WriteFileBytes(const std::wstring& path, const std::string& bytes) noexcept;

// MoveFileEx in the two forms the program needs: an atomic replace, and deletion at restart.

// Moves `from` over `to`, replacing an existing `to` in one step, so a reader sees either
// the old file or the new one, never a half-written file.
[[nodiscard]] bool MoveFileReplacing(const std::wstring& from, const std::wstring& to) noexcept;

// MoveFileExW(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): the file goes at the next restart.
// Needs write access to the session manager's key, which an administrator has.
[[nodiscard]] bool DeleteFileAtRestart(const std::wstring& path) noexcept;

// Moving files out of the way: into a backup folder, back again, or away at the next restart.
// Also the attribute change and the in-place overwrite the shredder needs.

// MoveFileExW(from, to, MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH); never replaces `to`.
// Across volumes Windows copies and may leave the source behind when it is in use: callers
// that need the source gone must look again.
[[nodiscard]] bool MoveFileAcross(const std::wstring& from, const std::wstring& to) noexcept;
// CopyFileW, failing when `to` exists.
[[nodiscard]] bool CopyFileOf(const std::wstring& from, const std::wstring& to) noexcept;
[[nodiscard]] bool SetFileAttributesOf(const std::wstring& path, DWORD attributes) noexcept;

// Writes `size` bytes at the file pointer; false on a short or failed write.
[[nodiscard]] bool WriteFileBytesAt(const unique_hfile& file, const void* data, std::size_t size) noexcept;
[[nodiscard]] bool SeekFileStart(const unique_hfile& file) noexcept;
[[nodiscard]] bool FlushFile(const unique_hfile& file) noexcept;

// The long form of a path whose parts may be 8.3 short names.

// GetLongPathNameW; the path unchanged when it does not exist or the call fails.
[[nodiscard]] std::wstring LongPathOf(const std::wstring& path);

// Logical drives and what the system says about each root.

// GetLogicalDriveStringsW: "A:\", "C:\", … in the system's order; empty on failure.
[[nodiscard]] std::vector<std::wstring> GetLogicalDriveRoots();
// GetDriveTypeW for a root such as "C:\".
[[nodiscard]] UINT GetDriveTypeOf(const std::wstring& root) noexcept;
// GetVolumeInformationW on the root succeeds (a medium is present and readable).
[[nodiscard]] bool VolumeInformationAvailable(const std::wstring& root) noexcept;
// GetDiskFreeSpaceExW on the root succeeds.
[[nodiscard]] bool DiskFreeSpaceAvailable(const std::wstring& root) noexcept;

// WOW64 file-system redirection switched off for the calling thread, so a 32-bit process
// that starts "C:\Windows\System32\x.exe" reaches the native folder, not SysWOW64.

// Wow64DisableWow64FsRedirection on construction and Wow64RevertWow64FsRedirection with
// the saved state on destruction, both looked up by name (absent before XP x64). Does
// nothing when `active` is false or the system has no redirection.
class FsRedirectionDisabled {
public:
    explicit FsRedirectionDisabled(bool active) noexcept;
    ~FsRedirectionDisabled();
    FsRedirectionDisabled(const FsRedirectionDisabled&) = delete;
    FsRedirectionDisabled& operator=(const FsRedirectionDisabled&) = delete;

    [[nodiscard]] bool disabled() const noexcept { return disabled_; }

private:
    void* oldValue_ = nullptr;
    bool disabled_ = false;
};

// Windows profile (INI) files through the system's own functions: every write reaches the
// disk at once, and the file keeps whatever encoding the system gives it.

// GetPrivateProfileString; `fallback` when the file, section or key is missing.
[[nodiscard]] std::wstring GetPrivateProfileStringOf(const std::wstring& file, const std::wstring& section,
                                                     const std::wstring& key, const std::wstring& fallback);
// WritePrivateProfileString; false when the file cannot be written.
[[nodiscard]] bool WritePrivateProfileStringOf(const std::wstring& file, const std::wstring& section,
                                               const std::wstring& key, const std::wstring& value) noexcept;
// WritePrivateProfileString with neither key nor value: the whole section goes.
[[nodiscard]] bool EraseProfileSectionOf(const std::wstring& file, const std::wstring& section) noexcept;

}  // namespace tarvo::platform
