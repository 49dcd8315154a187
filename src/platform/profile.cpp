#include "platform/profile.h"

#include <windows.h>

#include "platform/call_counter.h"

namespace tarvo::platform {

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

}  // namespace tarvo::platform
