#pragma once
// A registry key of its own for one test, under a unique name, deleted with everything below
// it when the test ends. Tests write their fixtures beneath it.

#include <windows.h>

#include <string>

#include "platform/registry.h"

namespace tarvo::test {

// "TarvoTest-<pid>-<counter>-<tick>": unique across the processes of one test run.
[[nodiscard]] std::wstring UniqueName(const wchar_t* prefix = L"TarvoTest");

class ScratchKey {
public:
    // Creates root\parent\<unique name> in the given view.
    ScratchKey(HKEY root, const std::wstring& parent, platform::RegistryView view);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    [[nodiscard]] HKEY root() const noexcept { return root_; }
    [[nodiscard]] platform::RegistryView view() const noexcept { return view_; }
    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }  // below root
    [[nodiscard]] std::wstring PathOf(const std::wstring& relative) const { return path_ + L"\\" + relative; }

    // Creates (or opens) a subkey below the scratch key, "" for the scratch key itself.
    [[nodiscard]] platform::RegistryKey Key(const std::wstring& relative = {}) const;
    void SetString(const std::wstring& relative, const std::wstring& name, const std::wstring& value,
                   DWORD type = REG_SZ) const;
    void SetDword(const std::wstring& relative, const std::wstring& name, DWORD value) const;
    void SetRaw(const std::wstring& relative, const std::wstring& name, DWORD type, const void* data,
                DWORD size) const;

private:
    HKEY root_;
    std::wstring path_;
    platform::RegistryView view_;
};

}  // namespace tarvo::test
