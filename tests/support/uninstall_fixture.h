#pragma once
// A program registered directly under the real uninstall key of one root and view, the way
// installers register: the inventory reads the real key, so fixtures must live there. The
// key is deleted with everything below it when the fixture ends.

#include <windows.h>

#include <string>

#include "platform/registry.h"

namespace tarvo::test {

class UninstallFixture {
public:
    // An empty keyName picks a unique one.
    UninstallFixture(HKEY root, platform::RegistryView view, std::wstring keyName = {});
    ~UninstallFixture();
    UninstallFixture(const UninstallFixture&) = delete;
    UninstallFixture& operator=(const UninstallFixture&) = delete;

    [[nodiscard]] const std::wstring& keyName() const noexcept { return name_; }
    // As entries store it: "\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<name>".
    [[nodiscard]] std::wstring KeyPath(const std::wstring& relative = {}) const;

    // Values of the fixture key, or of a subkey below it when `relative` is not empty.
    UninstallFixture& Set(const std::wstring& name, const std::wstring& value, const std::wstring& relative = {});
    UninstallFixture& SetDword(const std::wstring& name, DWORD value, const std::wstring& relative = {});
    UninstallFixture& SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size,
                             const std::wstring& relative = {});

private:
    [[nodiscard]] platform::RegistryKey Open(const std::wstring& relative) const;

    HKEY root_;
    platform::RegistryView view_;
    std::wstring name_;
};

}  // namespace tarvo::test
