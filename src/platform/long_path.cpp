#include "platform/long_path.h"

#include <windows.h>

#include "platform/call_counter.h"

namespace tarvo::platform {

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

}  // namespace tarvo::platform
