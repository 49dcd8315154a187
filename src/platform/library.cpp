#include "platform/library.h"

namespace tarvo::platform {

unique_hmodule LoadLibraryOf(const std::wstring& path) noexcept {
    // No "cannot find the library" box on old systems: a missing library is an answer.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    unique_hmodule module(::LoadLibraryW(path.c_str()));
    ::SetErrorMode(previous);
    return module;
}

}  // namespace tarvo::platform
