#pragma once
// Shell shortcuts (.lnk files) and the COM apartment their objects need.

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

// Writes a shortcut to `target`; false when the link cannot be created or saved.
[[nodiscard]] bool CreateShellLink(const std::wstring& linkPath, const std::wstring& target,
                                   const std::wstring& arguments = {}) noexcept;

}  // namespace tarvo::platform
