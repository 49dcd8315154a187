#include "platform/class_ids.h"

#include <windows.h>
#include <objbase.h>

namespace tarvo::platform {

bool ParsesAsClassId(const std::wstring& text) noexcept {
    CLSID id{};
    // The parameter is not const in older headers; the call does not write through it.
    return SUCCEEDED(::CLSIDFromString(const_cast<wchar_t*>(text.c_str()), &id));
}

}  // namespace tarvo::platform
