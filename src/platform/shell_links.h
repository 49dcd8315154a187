#pragma once
// Shell shortcuts (.lnk files) and the COM apartment their objects need.

#include <optional>
#include <string>

namespace tarvo::platform {

// CoInitializeEx for the lifetime of the object, on the thread that created it; balanced only
// when the call succeeded (S_FALSE included).
class ComApartment {
public:
    ComApartment() noexcept;
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    [[nodiscard]] bool ok() const noexcept { return initialized_; }

private:
    bool initialized_ = false;
};

// The target path of a shortcut (IShellLinkW::GetPath with the raw-path flag, as written in
// the link); empty when the file cannot be loaded as a shortcut. COM must be initialised.
[[nodiscard]] std::wstring ResolveShellLinkTarget(const std::wstring& linkPath) noexcept;

// What a shortcut points at now: loads it, lets the shell resolve it without any window of
// its own (SLR_NO_UI, owned by the active window), and returns the target path with UNC
// names preferred. nullopt when the file is no shortcut or the link does not resolve. COM
// must be initialised on the calling thread.
[[nodiscard]] std::optional<std::wstring> ResolveShellLink(const std::wstring& linkPath) noexcept;

// Writes a shortcut to `target`; false when the link cannot be created or saved.
[[nodiscard]] bool CreateShellLink(const std::wstring& linkPath, const std::wstring& target,
                                   const std::wstring& arguments = {}) noexcept;

}  // namespace tarvo::platform
