#include "platform/fs_redirection.h"

#include <windows.h>

namespace tarvo::platform {

namespace {
template <typename Fn>
Fn Kernel32Function(const char* name) noexcept {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}
using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);
}  // namespace

FsRedirectionDisabled::FsRedirectionDisabled(bool active) noexcept {
    if (!active) return;
    if (const auto disable = Kernel32Function<DisableFn>("Wow64DisableWow64FsRedirection"))
        disabled_ = disable(&oldValue_) != FALSE;
}

FsRedirectionDisabled::~FsRedirectionDisabled() {
    if (!disabled_) return;
    if (const auto revert = Kernel32Function<RevertFn>("Wow64RevertWow64FsRedirection")) revert(oldValue_);
}

}  // namespace tarvo::platform
