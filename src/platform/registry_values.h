#pragma once
// Reads every value of an open key in one sweep of RegEnumValue, reusing its buffers from
// key to key: the cheap way to read many values of many small keys.

#include <windows.h>

#include <string_view>
#include <vector>

namespace tarvo::platform {

class RegistryValueSweep {
public:
    // Receives each value in registry order; the views are valid only during the call.
    // OnValue must not throw: the sweep is called from code that cannot unwind.
    class Visitor {
    public:
        virtual void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) = 0;

    protected:
        ~Visitor() = default;
    };

    // ERROR_SUCCESS when every value was visited (ERROR_NO_MORE_ITEMS is the normal end);
    // otherwise the error that stopped the sweep, after the values before it were visited.
    [[nodiscard]] LONG Sweep(HKEY key, Visitor& visitor) noexcept;

private:
    std::vector<wchar_t> name_ = std::vector<wchar_t>(260);
    std::vector<BYTE> data_ = std::vector<BYTE>(4096);
};

}  // namespace tarvo::platform
