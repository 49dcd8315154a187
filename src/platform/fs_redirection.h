#pragma once
// WOW64 file-system redirection switched off for the calling thread, so a 32-bit process
// that starts "C:\Windows\System32\x.exe" reaches the native folder, not SysWOW64.

namespace tarvo::platform {

// Wow64DisableWow64FsRedirection on construction and Wow64RevertWow64FsRedirection with
// the saved state on destruction, both looked up by name (absent before XP x64). Does
// nothing when `active` is false or the system has no redirection.
class FsRedirectionDisabled {
public:
    explicit FsRedirectionDisabled(bool active) noexcept;
    ~FsRedirectionDisabled();
    FsRedirectionDisabled(const FsRedirectionDisabled&) = delete;
    FsRedirectionDisabled& operator=(const FsRedirectionDisabled&) = delete;

    [[nodiscard]] bool disabled() const noexcept { return disabled_; }

private:
    void* oldValue_ = nullptr;
    bool disabled_ = false;
};

}  // namespace tarvo::platform
