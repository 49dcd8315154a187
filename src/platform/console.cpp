#include "platform/console.h"

#include <windows.h>

#include "platform/text.h"

namespace tarvo::platform {

namespace {

HANDLE StdHandle(StdStream stream) noexcept {
    return ::GetStdHandle(stream == StdStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool WriteAllBytes(HANDLE handle, std::string_view bytes) noexcept {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() > 65536 ? 65536 : bytes.size());
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool WriteStd(StdStream stream, std::wstring_view text) noexcept {
    const HANDLE handle = StdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode)) {
        while (!text.empty()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(text.size() > 8192 ? 8192 : text.size());
            if (!::WriteConsoleW(handle, text.data(), chunk, &written, nullptr) || written == 0) return false;
            text.remove_prefix(written);
        }
        return true;
    }
    try {
        return WriteAllBytes(handle, Utf8FromWide(text));
    } catch (...) {
        return false;
    }
}

bool WriteStdBytes(StdStream stream, std::string_view bytes) noexcept {
    const HANDLE handle = StdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    return WriteAllBytes(handle, bytes);
}

std::optional<std::wstring> ReadStdLine() noexcept {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (!input || input == INVALID_HANDLE_VALUE) return std::nullopt;
    try {
        std::string bytes;
        bool any = false;
        for (;;) {
            char c = 0;
            DWORD read = 0;
            if (!::ReadFile(input, &c, 1, &read, nullptr) || read == 0) break;
            any = true;
            if (c == '\n') break;
            if (c != '\r') bytes += c;
            if (bytes.size() > 4096) break;
        }
        if (!any) return std::nullopt;
        return WideFromUtf8(bytes);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace tarvo::platform
