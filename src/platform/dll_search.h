#pragma once
// The first call of every program we ship. Libraries loaded by name come from the system
// folder only, never from the folder the program was started from: an elevated program
// run from a downloads folder must not pick up a library a web page saved beside it. Our
// own libraries (sqlite3.dll, the statistics library) are loaded by full path from our
// folder, which this does not affect.
//
// Header-only so that the smallest siblings, which link nothing of ours, can call it too.

#include <windows.h>

namespace tarvo::platform {

// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) where the system has it (Windows
// 8, and 7/Vista with the 2011 loader update); before that SetDllDirectoryW(L"") at least
// takes the current folder out of the search. Both are looked up, since XP has neither in
// its import library. False when neither could be set.
inline bool RestrictLibrarySearch() noexcept {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return false;
    using SetDefaultDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    const auto setDefault = reinterpret_cast<SetDefaultDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(kSearchSystem32)) return true;
    const auto setDirectory =
        reinterpret_cast<SetDirectoryFn>(reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDllDirectoryW")));
    return setDirectory && setDirectory(L"");
}

}  // namespace tarvo::platform
