#pragma once
// The program's path macros ("%SYSDIR%", "%APPDATA%", …) as uninstall commands, icon paths
// and install folders in the registry carry them.

#include <string>

namespace tarvo::settings {

// Expands the first macro of the table found in `path` (every occurrence of it, ignoring
// case), in place. `allUsersPath` receives the all-users form for the macros that have one,
// and is emptied otherwise.
void ExpandPathMacros(std::wstring& path, std::wstring& allUsersPath);

// Convenience for callers that do not need the all-users form.
[[nodiscard]] std::wstring ExpandPathMacros(const std::wstring& path);

// The folders the macros stand for. The real source is TAppFrame; tests give their own.
// Only the folder of the macro that was found is asked for.
class PathMacroFolders {
public:
    virtual ~PathMacroFolders() = default;
    [[nodiscard]] virtual std::wstring Folder(int index) const = 0;        // TAppFrame::FolderPath
    [[nodiscard]] virtual std::wstring CommonFolder(int index) const = 0;  // TAppFrame::CommonFolderPath
    [[nodiscard]] virtual std::wstring UserProfile() const = 0;            // %USERPROFILE%
    [[nodiscard]] virtual bool FolderExists(const std::wstring& path) const = 0;
};

void ExpandPathMacros(std::wstring& path, std::wstring& allUsersPath, const PathMacroFolders& folders);

// The number of macros, and the text of one as it is searched for (1-based, table order).
inline constexpr int kPathMacroCount = 43;
[[nodiscard]] const wchar_t* PathMacroText(int number) noexcept;

}  // namespace tarvo::settings
