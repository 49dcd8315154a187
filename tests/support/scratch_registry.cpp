#include "support/scratch_registry.h"

#include <atomic>
#include <cstdio>
#include <stdexcept>

namespace tarvo::test {

std::wstring UniqueName(const wchar_t* prefix) {
    static std::atomic<unsigned> counter{0};
    wchar_t name[128];
    swprintf(name, 128, L"%ls-%lu-%u-%lu", prefix, ::GetCurrentProcessId(), counter.fetch_add(1),
             ::GetTickCount());
    return name;
}

ScratchKey::ScratchKey(HKEY root, const std::wstring& parent, platform::RegistryView view)
    : root_(root), path_(parent + L"\\" + UniqueName()), view_(view) {
    platform::RegistryKey key;
    if (key.Create(root_, path_, KEY_READ | KEY_WRITE, view_) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the scratch registry key");
}

ScratchKey::~ScratchKey() { (void)platform::DeleteKeyTree(root_, path_, view_); }

platform::RegistryKey ScratchKey::Key(const std::wstring& relative) const {
    platform::RegistryKey key;
    const std::wstring path = relative.empty() ? path_ : PathOf(relative);
    if (key.Create(root_, path, KEY_READ | KEY_WRITE, view_) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a registry key below the scratch key");
    return key;
}

void ScratchKey::SetString(const std::wstring& relative, const std::wstring& name,
                           const std::wstring& value, DWORD type) const {
    if (Key(relative).SetString(name, value, type) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write a registry string");
}

void ScratchKey::SetDword(const std::wstring& relative, const std::wstring& name, DWORD value) const {
    if (Key(relative).SetDword(name, value) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write a registry DWORD");
}

void ScratchKey::SetRaw(const std::wstring& relative, const std::wstring& name, DWORD type,
                        const void* data, DWORD size) const {
    if (Key(relative).SetValue(name, type, data, size) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write a registry value");
}

}  // namespace tarvo::test
