#include "support/uninstall_fixture.h"

#include <stdexcept>

#include "support/scratch_registry.h"

namespace tarvo::test {

namespace {
const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
}

UninstallFixture::UninstallFixture(HKEY root, platform::RegistryView view, std::wstring keyName)
    : root_(root), view_(view), name_(keyName.empty() ? UniqueName(L"TarvoProgram") : std::move(keyName)) {
    (void)Open({});
}

UninstallFixture::~UninstallFixture() { (void)platform::DeleteKeyTree(root_, kUninstall + L"\\" + name_, view_); }

std::wstring UninstallFixture::KeyPath(const std::wstring& relative) const {
    return L"\\" + kUninstall + L"\\" + name_ + (relative.empty() ? L"" : L"\\" + relative);
}

platform::RegistryKey UninstallFixture::Open(const std::wstring& relative) const {
    platform::RegistryKey key;
    const std::wstring path = KeyPath(relative).substr(1);
    if (key.Create(root_, path, KEY_READ | KEY_WRITE, view_) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create an uninstall fixture key");
    return key;
}

UninstallFixture& UninstallFixture::Set(const std::wstring& name, const std::wstring& value,
                                        const std::wstring& relative) {
    if (Open(relative).SetString(name, value) != ERROR_SUCCESS) throw std::runtime_error("cannot write a string");
    return *this;
}

UninstallFixture& UninstallFixture::SetDword(const std::wstring& name, DWORD value, const std::wstring& relative) {
    if (Open(relative).SetDword(name, value) != ERROR_SUCCESS) throw std::runtime_error("cannot write a DWORD");
    return *this;
}

UninstallFixture& UninstallFixture::SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size,
                                           const std::wstring& relative) {
    if (Open(relative).SetValue(name, type, data, size) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write a value");
    return *this;
}

}  // namespace tarvo::test
