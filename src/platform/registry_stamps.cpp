#include "platform/registry_stamps.h"

#include "platform/call_counter.h"

namespace tarvo::platform {

LONG EnumKeyStamped(HKEY key, DWORD index, std::wstring& name, FILETIME& lastWrite) noexcept {
    CallCounter::Add(ApiCall::RegEnumKey);
    wchar_t buffer[256];
    DWORD length = 256;
    FILETIME stamp{};
    const LONG rc = ::RegEnumKeyExW(key, index, buffer, &length, nullptr, nullptr, nullptr, &stamp);
    if (rc == ERROR_SUCCESS) {
        name.assign(buffer, length);
        lastWrite = stamp;
    }
    return rc;
}

LONG KeyLastWriteTime(HKEY key, FILETIME& lastWrite) noexcept {
    CallCounter::Add(ApiCall::RegQueryInfoKey);
    FILETIME stamp{};
    const LONG rc = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, &stamp);
    if (rc == ERROR_SUCCESS) lastWrite = stamp;
    return rc;
}

}  // namespace tarvo::platform
