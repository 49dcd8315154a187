#include "platform/files.h"

#include "platform/call_counter.h"

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
    CallCounter::Add(ApiCall::FindFirstFile);
    if (TooLong(pattern)) {
        find_.reset();
        return false;
    }
    find_.reset(::FindFirstFileW(ExtendedLengthPath(pattern).c_str(), &data));
    return find_.is_valid();
}

bool FileFinder::FindNext(WIN32_FIND_DATAW& data) noexcept {
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

}  // namespace tarvo::platform
