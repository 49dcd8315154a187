#pragma once
// A private copy of a browser file, kept in the program's data folder before a cleaner
// changes the original.

#include <string>

namespace tarvo::addons {

// Copies `file` into `storeFolder` + `subFolder` (both ending with a backslash), emptying
// that folder first; when it cannot be emptied, a fresh folder named by a new GUID takes its
// place. The copy's path, or empty on any failure.
[[nodiscard]] std::wstring BackupFile(const std::wstring& storeFolder, const std::wstring& subFolder,
                                      const std::wstring& file);

}  // namespace tarvo::addons
