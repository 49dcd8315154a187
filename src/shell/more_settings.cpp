#include "shell/more_settings.h"

#include "common/paths.h"
#include "common/text.h"

namespace tarvo::shell {

namespace {
constexpr MoreSettingsItem kItems[] = {
    {MoreSettingsCommand::ForcedUninstall, L"PopMenu_Sub_ForcedUninstall", L"Forced Uninstall"},
    {MoreSettingsCommand::InstallAndTrace, L"PopMenu_Sub_InstallAndTrace", L"Install and trace a program..."},
    {MoreSettingsCommand::Orphans, L"PopMenu_Sub_Orphans", L"Leftovers of removed programs"},
    {MoreSettingsCommand::ExportList, L"PopMenu_Sub_ExportList", L"Export Application List"},
    {MoreSettingsCommand::LogManagement, L"PopMenu_Sub_LogManagement", L"Log Management"},
    {MoreSettingsCommand::ViewRestorePoint, L"PopMenu_Sub_ViewRestorePoint", L"View Restore Point"},
    {MoreSettingsCommand::CheckUpdate, L"PopMenu_Sub_CheckUpdate", L"Check for updates"},
    {MoreSettingsCommand::UserManual, L"PopMenu_Sub_UserManual", L"User Manual"},
    {MoreSettingsCommand::TechnicalSupport, L"PopMenu_Sub_TechnicalSupport", L"Technical Support"},
    {MoreSettingsCommand::Language, L"PopMenu_Sub_Language", L"Language"},
    {MoreSettingsCommand::TarvoOnline, L"PopMenu_Sub_TarvoOnline", L"Tarvo Online"},
    {MoreSettingsCommand::About, L"PopMenu_Sub_About", L"About"},
};

// Without its trailing backslash: the updater's command line would read `\"` as a quote
// inside the text and run the rest of the parameters into the folder.
std::wstring FolderOf(const std::wstring& path) {
    std::wstring folder = common::FolderPart(path, common::PathSeparators::BackslashOrSlash);
    if (!folder.empty()) folder.pop_back();
    return folder;
}
}  // namespace

std::vector<MoreSettingsItem> MoreSettingsItems(const std::wstring& windowsName) {
    std::vector<MoreSettingsItem> items;
    for (const auto& item : kItems)
        if (item.command != MoreSettingsCommand::ViewRestorePoint || windowsName != L"Windows 2000") items.push_back(item);
    return items;
}

std::optional<MoreSettingsCommand> MoreSettingsCommandOf(unsigned id) noexcept {
    for (const auto& item : kItems)
        if (static_cast<unsigned>(item.command) == id && item.command != MoreSettingsCommand::Language)
            return item.command;
    return std::nullopt;
}

std::optional<std::wstring> RestoreToolPath(const std::wstring& windowsName, const std::wstring& systemFolder) {
    if (systemFolder.empty()) return std::nullopt;
    if (windowsName == L"Windows XP") return systemFolder + L"\\restore\\rstrui.exe";
    for (const wchar_t* later : {L"Windows Vista", L"Windows 7", L"Windows 8", L"Windows 8.1", L"Windows 10", L"Windows 11"})
        if (windowsName == later) return systemFolder + L"\\rstrui.exe";
    return std::nullopt;
}

std::wstring UpdaterParameters(bool manual, const std::wstring& installLocation, const std::wstring& languageName) {
    // The automatic run's two blanks are what the updater has always been given; keep them.
    std::wstring text = manual ? L"/appupt /manual /product uninstaller /fn " : L"/appupt /auto /product uninstaller /fn  ";
    text += L'"' + installLocation + L'"';
    text += L" /location \"" + FolderOf(installLocation) + L'"';
    text += L" /language " + languageName;
    return text;
}

std::wstring TechnicalSupportAddress(const std::wstring& site, const std::wstring& fileVersion) {
    const bool known = !fileVersion.empty() && common::LowerCase(fileVersion) != L"unknown";
    return site + L"/productfeedback.php?product=tarvo-uninstaller&ver=" + (known ? fileVersion : L"unknown");
}

std::wstring HomePageAddress(const std::wstring& site) { return site; }
std::wstring LikeAddress(const std::wstring& site) { return site + L"/goto.php?id=likefb_TU3"; }
std::wstring FeedbackAddress(const std::wstring& forum) { return forum + L"/showthread.php?t=15823"; }

}  // namespace tarvo::shell
