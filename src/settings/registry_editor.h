#pragma once
// Opening the Windows registry editor at a key, with a value selected where possible.

#include <optional>
#include <string>

namespace tarvo::settings {

// Where the editor keeps its last key and its favourites, below HKEY_CURRENT_USER.
inline constexpr wchar_t kRegeditAppletKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
inline constexpr wchar_t kRegeditFavoritesKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit\\Favorites";
inline constexpr wchar_t kRegJumpFavorite[] = L"TarvoRegJmp";

// The key path as the editor wants it: no trailing backslash, and a first element for the
// tree's root item ("My\") unless the path starts with a backslash.
[[nodiscard]] std::wstring RegistryEditorKeyPath(std::wstring keyPath);

// Writes "LastKey", which the editor opens at when it starts (64-bit view, key created).
[[nodiscard]] bool WriteRegistryEditorLastKey(const std::wstring& editorKeyPath);

// The steps that touch the editor, so that the order of things can be tested without one.
class RegistryEditorHost {
public:
    virtual ~RegistryEditorHost() = default;
    virtual bool FindEditor() = 0;  // looks for the editor's window; true when there is one
    virtual bool ThisProcessIsWow64() = 0;
    virtual std::optional<bool> EditorIs64Bit() = 0;  // nullopt when it cannot be told
    virtual void CloseEditor() = 0;                   // politely, then by force
    virtual bool WriteLastKey(const std::wstring& editorKeyPath) = 0;
    virtual bool StartEditor(bool view64) = 0;
    virtual void ShowEditor() = 0;  // maximised, in front
    // Only for an editor that was already open, where "LastKey" has no effect.
    virtual void JumpThroughFavorites(const std::wstring& editorKeyPath) = 0;
    virtual void SelectValue(const std::wstring& valueName) = 0;
};

bool OpenRegistryEditorAt(const std::wstring& keyPath, const std::wstring& valueName, bool view64,
                          RegistryEditorHost& host);
// The real editor: regedit.exe, in the 64-bit edition for the 64-bit view on 64-bit Windows.
bool OpenRegistryEditorAt(const std::wstring& keyPath, const std::wstring& valueName, bool view64);

}  // namespace tarvo::settings
