#pragma once
// Keys' last-write times: the kernel moves a key's time whenever one of its values is set or
// deleted or a subkey of it is made or removed, so a key whose time stands still has the same
// values and subkeys as before. Counted like every registry call; never throws.

#include <windows.h>

#include <string>

namespace tarvo::platform {

// RegEnumKeyEx with the subkey's last-write time.
[[nodiscard]] LONG EnumKeyStamped(HKEY key, DWORD index, std::wstring& name, FILETIME& lastWrite) noexcept;
// RegQueryInfoKey's last-write time of the key itself.
[[nodiscard]] LONG KeyLastWriteTime(HKEY key, FILETIME& lastWrite) noexcept;

}  // namespace tarvo::platform
