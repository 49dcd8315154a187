#include "platform/file_stream.h"

#include <algorithm>

#include "platform/call_counter.h"

namespace tarvo::platform {

bool FileStream::OpenRead(const std::wstring& path) noexcept {
    file_.reset();
    CallCounter::Add(ApiCall::CreateFile);
    file_.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file_) return true;
    CallCounter::Add(ApiCall::CreateFile);
    file_.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return file_.is_valid();
}

bool FileStream::Create(const std::wstring& path, bool temporary) noexcept {
    file_.reset();
    CallCounter::Add(ApiCall::CreateFile);
    const DWORD flags = temporary ? FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE : FILE_ATTRIBUTE_NORMAL;
    file_.reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, temporary ? FILE_SHARE_DELETE : 0, nullptr,
                              CREATE_ALWAYS, flags, nullptr));
    return file_.is_valid();
}

std::optional<std::int64_t> FileStream::Size() const noexcept {
    LARGE_INTEGER size{};
    if (!file_ || !::GetFileSizeEx(file_.get(), &size)) return std::nullopt;
    return size.QuadPart;
}

bool FileStream::Seek(std::int64_t position) noexcept {
    if (!file_ || position < 0) return false;
    LARGE_INTEGER to{};
    to.QuadPart = position;
    return ::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN) != FALSE;
}

bool FileStream::ReadExact(void* data, std::size_t size) noexcept {
    auto* bytes = static_cast<unsigned char*>(data);
    while (size > 0) {
        const std::size_t got = ReadSome(bytes, size);
        if (got == 0) return false;
        bytes += got;
        size -= got;
    }
    return true;
}

std::size_t FileStream::ReadSome(void* data, std::size_t size) noexcept {
    if (!file_) return 0;
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000u));
    if (!::ReadFile(file_.get(), data, want, &got, nullptr)) return 0;
    return got;
}

bool FileStream::OpenAppend(const std::wstring& path) noexcept {
    file_.reset();
    CallCounter::Add(ApiCall::CreateFile);
    file_.reset(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.is_valid();
}

bool FileStream::Flush() noexcept { return file_ && ::FlushFileBuffers(file_.get()) != FALSE; }

bool FileStream::Write(const void* data, std::size_t size) noexcept {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        if (!file_) return false;
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000u));
        if (!::WriteFile(file_.get(), bytes, want, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

std::wstring CreateTempFileName(const std::wstring& folder, const std::wstring& prefix) {
    std::wstring base = folder;
    if (base.empty()) {
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH) return {};
        base.assign(temp, length);
    }
    wchar_t name[MAX_PATH + 1] = {};
    CallCounter::Add(ApiCall::CreateFile);
    if (::GetTempFileNameW(base.c_str(), prefix.c_str(), 0, name) == 0) return {};
    return name;
}

}  // namespace tarvo::platform
