#include "platform/file_io.h"

#include "platform/files.h"

namespace tarvo::platform {

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

}  // namespace tarvo::platform
