#pragma once
// One thing an installer did, as a trace records it: a key, value, folder or file it made, a
// value it changed (with the data before and after) or a file it changed. Registry items name
// their key by root name, path below the root and view, exactly as the removal opens it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::trace {

enum class TraceItemKind : std::int32_t {
    KeyCreated = 0,
    ValueCreated = 1,
    ValueChanged = 2,
    FolderCreated = 3,
    FileCreated = 4,
    FileChanged = 5,
};

struct TraceItem {
    TraceItemKind kind = TraceItemKind::FileCreated;
    std::wstring root;  // "HKEY_LOCAL_MACHINE"…; empty for files and folders
    std::wstring path;  // the key below its root, or the full file or folder path
    bool view64 = false;
    std::wstring valueName;
    DWORD typeBefore = REG_NONE;
    std::vector<BYTE> before;  // a changed value's data before the installation
    DWORD typeAfter = REG_NONE;
    std::vector<BYTE> after;  // a created or changed value's data as the installer left it

    [[nodiscard]] bool IsRegistry() const noexcept { return !root.empty(); }
};

// Stable names for the store and the console.
[[nodiscard]] const wchar_t* KindName(TraceItemKind kind) noexcept;
[[nodiscard]] bool KindFromName(const std::wstring& name, TraceItemKind& kind) noexcept;

}  // namespace tarvo::trace
