#pragma once
// Where the program's files live and where Windows keeps its special folders.

#include <string>

namespace tarvo::settings {

// The data folder below the user's roaming application data, and the settings file in it.
inline constexpr wchar_t kDataSubFolder[] = L"\\Tarvo\\Tarvo Uninstaller";
inline constexpr wchar_t kSettingsFileName[] = L"Main.ini";

// Folders by small numeric index. Any part of the program that needs a folder makes one:
// the three folders asked for most are cached at construction, the rest are looked up on
// each request (never created) and come back without a trailing backslash unless the
// system adds one. A folder the system cannot supply is empty.
class TAppFrame {
public:
    TAppFrame();

    [[nodiscard]] const std::wstring& CommonAppDataFolder() const noexcept { return commonAppData_; }
    [[nodiscard]] const std::wstring& AppDataFolder() const noexcept { return appData_; }
    // The folder of the running executable, with a trailing backslash.
    [[nodiscard]] const std::wstring& ProgramFolder() const noexcept { return programFolder_; }

    // Application data + "\Tarvo\Tarvo Uninstaller", each level created when missing.
    // Empty when the application-data folder is unknown.
    [[nodiscard]] std::wstring DataFolder() const;
    // The path of Main.ini in the data folder; the folder is not created for it.
    [[nodiscard]] std::wstring SettingsFile() const;

    // Indexes 0..35 (13 is the local application data, 14 is unused): `path` receives the
    // folder. Other indexes leave `path` as it was.
    void FolderPath(int index, std::wstring& path) const;
    [[nodiscard]] std::wstring FolderPath(int index) const;
    // The all-users folders, indexes 0..12; other indexes leave `path` as it was.
    void CommonFolderPath(int index, std::wstring& path) const;
    [[nodiscard]] std::wstring CommonFolderPath(int index) const;
    // The folder holding the user profiles (see ProfilesRootOf).
    [[nodiscard]] std::wstring ProfilesRoot() const;

private:
    std::wstring commonAppData_;
    std::wstring appData_;
    std::wstring programFolder_;
};

// From an application-data path, the text through the first backslash plus the first folder
// name after it: C:\Users\bob\AppData\Roaming gives C:\Users. A path with no backslash
// comes back as it is.
[[nodiscard]] std::wstring ProfilesRootOf(const std::wstring& appDataFolder);

// Shorthands for a one-off question.
[[nodiscard]] std::wstring DataFolder();
[[nodiscard]] std::wstring SettingsFile();

}  // namespace tarvo::settings
