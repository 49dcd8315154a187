#include "platform/console_input.h"

#include <windows.h>

#include "platform/text_encoding.h"

namespace tarvo::platform {

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
