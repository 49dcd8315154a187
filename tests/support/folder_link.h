#pragma once
// Links to folders for tests of walks that must not enter them. Wine 8 cannot store a
// junction, but it lists a Unix symbolic link to a folder as a folder with
// FILE_ATTRIBUTE_REPARSE_POINT and can start Unix programs: where a junction cannot be made,
// such a link stands in.

#include <windows.h>

#include <string>

namespace tarvo::test {

// Attributes as a folder listing reports them: Wine's GetFileAttributes follows a link.
[[nodiscard]] DWORD ListedAttributes(const std::wstring& path);
// A junction from the new folder `link` to `target`, or the Unix link Wine presents as one.
[[nodiscard]] bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
// Removes the link itself, whichever kind it is; a scratch folder's clean-up would follow a
// Unix link.
void RemoveFolderLink(const std::wstring& link);

}  // namespace tarvo::test
