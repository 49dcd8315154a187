#pragma once
// The main window's "More Settings" menu as data, and what each of its commands starts: the
// items in menu order with their design names, the restore tool of the running Windows, the
// updater's parameters and the vendor's pages. Nothing here starts anything or holds a window.

#include <optional>
#include <string>
#include <vector>

#include "shell/control_ids.h"

namespace tarvo::shell {

enum class MoreSettingsCommand : unsigned {
    ForcedUninstall = control_ids::kMoreSettingsMenu + 1,
    ExportList,
    LogManagement,
    ViewRestorePoint,
    CheckUpdate,
    UserManual,
    TechnicalSupport,
    Language,  // the submenu's own item; it carries no command
    TarvoOnline,
    About,
    InstallAndTrace,  // placed after Forced Uninstall in the menu; its id comes last to keep the others'
    Orphans,          // after it, with the id that follows
};
// Menu ids of the language submenu's items: the first language, then one up per language.
inline constexpr unsigned kFirstLanguageCommand = control_ids::kMoreSettingsMenu + 50;
inline constexpr unsigned kLastLanguageCommand = control_ids::kMoreSettingsMenu + 99;

struct MoreSettingsItem {
    MoreSettingsCommand command;
    const wchar_t* name;     // design name: "<name>.Caption" in the main window's section
    const wchar_t* english;  // the design caption
};

// The items in menu order. "View Restore Point" is left out on Windows 2000, which has no
// restore tool to show.
[[nodiscard]] std::vector<MoreSettingsItem> MoreSettingsItems(const std::wstring& windowsName);
[[nodiscard]] std::optional<MoreSettingsCommand> MoreSettingsCommandOf(unsigned id) noexcept;

// The system restore tool of the named Windows below the (native) system folder; nullopt for
// a Windows the program does not know, where the user is told so instead.
[[nodiscard]] std::optional<std::wstring> RestoreToolPath(const std::wstring& windowsName,
                                                          const std::wstring& systemFolder);

// What the updater is told: the product, the installed executable (`installLocation`), its
// folder and the current language. The manual check asks for a visible run.
[[nodiscard]] std::wstring UpdaterParameters(bool manual, const std::wstring& installLocation,
                                             const std::wstring& languageName);

// The vendor's pages, on the servers Main.ini names (no trailing "/"). `fileVersion` empty or
// "Unknown" reads as "unknown" in the support address.
[[nodiscard]] std::wstring TechnicalSupportAddress(const std::wstring& site, const std::wstring& fileVersion);
[[nodiscard]] std::wstring HomePageAddress(const std::wstring& site);
[[nodiscard]] std::wstring LikeAddress(const std::wstring& site);
[[nodiscard]] std::wstring FeedbackAddress(const std::wstring& forum);

}  // namespace tarvo::shell
