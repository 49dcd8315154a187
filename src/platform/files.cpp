#include "platform/files.h"

#include <windows.h>

#include "platform/call_counter.h"
#include "platform/read_memo.h"

namespace tarvo::platform {

namespace {
// No Windows path is longer than this. Wine passes longer names on in a 16-bit length that
// wraps, so such a name could reach a different, short path: refuse it before any call.
constexpr std::size_t kMaxPathChars = 32767;
bool TooLong(const std::wstring& path) noexcept { return path.size() > kMaxPathChars - 8; }
}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
    // CreateDirectory's limit is MAX_PATH - 12; use the extended form from there on.
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool FileFinder::FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) noexcept {
    listed_ = nullptr;
    if (ReadMemo* memo = ReadMemo::Active()) {
        find_.reset();
        listed_ = memo->Listing(pattern);
        next_ = 0;
        return FindNext(data);
    }
    CallCounter::Add(ApiCall::FindFirstFile);
    if (TooLong(pattern)) {
        find_.reset();
        return false;
    }
    find_.reset(::FindFirstFileW(ExtendedLengthPath(pattern).c_str(), &data));
    return find_.is_valid();
}

bool FileFinder::FindNext(WIN32_FIND_DATAW& data) noexcept {
    if (listed_) {
        if (next_ >= listed_->size()) {
            ::SetLastError(ERROR_NO_MORE_FILES);
            return false;
        }
        (*listed_)[next_++].CopyTo(data);
        return true;
    }
    if (!find_) return false;
    CallCounter::Add(ApiCall::FindNextFile);
    return ::FindNextFileW(find_.get(), &data) != FALSE;
}

bool IsDotName(const wchar_t* name) noexcept {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

DWORD GetFileAttributesOf(const std::wstring& path) noexcept {
    CallCounter::Add(ApiCall::GetFileAttributes);
    if (TooLong(path)) return INVALID_FILE_ATTRIBUTES;
    return ::GetFileAttributesW(ExtendedLengthPath(path).c_str());
}

bool FileExists(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) noexcept {
    const DWORD attributes = GetFileAttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> GetFileAttributesExOf(const std::wstring& path) noexcept {
    CallCounter::Add(ApiCall::GetFileAttributes);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (TooLong(path)) return std::nullopt;
    if (!::GetFileAttributesExW(ExtendedLengthPath(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return data;
}

std::optional<ULONGLONG> GetFileSizeOf(const std::wstring& path) noexcept {
    const auto data = GetFileAttributesExOf(path);
    if (!data) return std::nullopt;
    return (static_cast<ULONGLONG>(data->nFileSizeHigh) << 32) | data->nFileSizeLow;
}

std::optional<FileTimes> GetFileTimesOf(const std::wstring& path) noexcept {
    const auto data = GetFileAttributesExOf(path);
    if (!data) return std::nullopt;
    return FileTimes{data->ftCreationTime, data->ftLastAccessTime, data->ftLastWriteTime};
}

unique_hfile CreateFileOf(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                          DWORD flags) noexcept {
    CallCounter::Add(ApiCall::CreateFile);
    if (TooLong(path)) return {};
    return unique_hfile(::CreateFileW(ExtendedLengthPath(path).c_str(), access, share, nullptr,
                                      disposition, flags, nullptr));
}

bool DeleteFileOf(const std::wstring& path) noexcept {
    CallCounter::Add(ApiCall::DeleteFile);
    if (TooLong(path)) return false;
    return ::DeleteFileW(ExtendedLengthPath(path).c_str()) != FALSE;
}

bool CreateDirectoryOf(const std::wstring& path) noexcept {
    CallCounter::Add(ApiCall::CreateDirectory);
    if (TooLong(path)) return false;
    return ::CreateDirectoryW(ExtendedLengthPath(path).c_str(), nullptr) != FALSE;
}

bool RemoveDirectoryOf(const std::wstring& path) noexcept {
    CallCounter::Add(ApiCall::RemoveDirectory);
    if (TooLong(path)) return false;
    return ::RemoveDirectoryW(ExtendedLengthPath(path).c_str()) != FALSE;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) noexcept {
    try {
        const auto file = CreateFileOf(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        if (!file) return std::nullopt;
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD read = 0;
            if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                            nullptr))
                return std::nullopt;
            if (read == 0) break;  // the file shrank while we read it
            done += read;
        }
        bytes.resize(done);
        return bytes;
    } catch (...) {
        return std::nullopt;
    }
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) noexcept {
    const auto file = CreateFileOf(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                         nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

bool MoveFileReplacing(const std::wstring& from, const std::wstring& to) noexcept {
    return ::MoveFileExW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool DeleteFileAtRestart(const std::wstring& path) noexcept {
    CallCounter::Add(ApiCall::MoveFile);
    // The session manager replays the name at boot, where the "\\?\" form is not understood.
    return ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool MoveFileAcross(const std::wstring& from, const std::wstring& to) noexcept {
    CallCounter::Add(ApiCall::MoveFile);
    return ::MoveFileExW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(),
                         MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool CopyFileOf(const std::wstring& from, const std::wstring& to) noexcept {
    CallCounter::Add(ApiCall::MoveFile);
    return ::CopyFileW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(), TRUE) != FALSE;
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

std::wstring LongPathOf(const std::wstring& path) {
    if (path.empty()) return path;
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Counted with the attribute reads: it looks up each part of the path the same way.
        CallCounter::Add(ApiCall::GetFileAttributes);
        const DWORD length = ::GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return path;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(length, L'\0');
    }
    return path;
}

std::vector<std::wstring> GetLogicalDriveRoots() {
    std::vector<std::wstring> roots;
    const DWORD needed = ::GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return roots;
    std::wstring buffer(needed + 1, L'\0');
    const DWORD length = ::GetLogicalDriveStringsW(needed, buffer.data());
    if (length == 0 || length > needed) return roots;
    // A list of zero-terminated roots ending with an empty one.
    for (std::size_t start = 0; start < length;) {
        const std::size_t end = buffer.find(L'\0', start);
        if (end == std::wstring::npos || end == start) break;
        roots.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return roots;
}

UINT GetDriveTypeOf(const std::wstring& root) noexcept { return ::GetDriveTypeW(root.c_str()); }

bool VolumeInformationAvailable(const std::wstring& root) noexcept {
    // An empty card reader would otherwise ask the user to insert a disk.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = ::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(oldMode);
    return ok != FALSE;
}

bool DiskFreeSpaceAvailable(const std::wstring& root) noexcept {
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    ULARGE_INTEGER available{}, total{}, free{};
    const BOOL ok = ::GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free);
    ::SetErrorMode(oldMode);
    return ok != FALSE;
}

namespace {
template <typename Fn>
Fn Kernel32Function(const char* name) noexcept {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}
using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);
}  // namespace

FsRedirectionDisabled::FsRedirectionDisabled(bool active) noexcept {
    if (!active) return;
    if (const auto disable = Kernel32Function<DisableFn>("Wow64DisableWow64FsRedirection"))
        disabled_ = disable(&oldValue_) != FALSE;
}

FsRedirectionDisabled::~FsRedirectionDisabled() {
    if (!disabled_) return;
    if (const auto revert = Kernel32Function<RevertFn>("Wow64RevertWow64FsRedirection")) revert(oldValue_);
}

std::wstring GetPrivateProfileStringOf(const std::wstring& file, const std::wstring& section,
                                       const std::wstring& key, const std::wstring& fallback) {
    // Each profile call opens the file, so it counts as one.
    CallCounter::Add(ApiCall::CreateFile);
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD length = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                                        static_cast<DWORD>(buffer.size()), file.c_str());
        // A value that fills the buffer may have been cut: ask again with more room.
        if (length + 1 < buffer.size() || buffer.size() >= 65536) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 4);
    }
}

bool WritePrivateProfileStringOf(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                 const std::wstring& value) noexcept {
    CallCounter::Add(ApiCall::CreateFile);
    return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

bool EraseProfileSectionOf(const std::wstring& file, const std::wstring& section) noexcept {
    CallCounter::Add(ApiCall::CreateFile);
    return ::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, file.c_str()) != FALSE;
}

}  // namespace tarvo::platform
