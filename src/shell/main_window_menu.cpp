// The main window's "More Settings" menu: its items, the language submenu rebuilt before the
// menu opens, and what each command starts. Commands arrive as WM_COMMAND with the item's id,
// whether from the menu or from another program driving the window.

#include <windows.h>

#include "common/paths.h"
#include "language/language.h"
#include "language/language_menu.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "settings/app_frame.h"
#include "settings/main_ini.h"
#include "settings/server_addresses.h"
#include "settings/system_info.h"
#include "shell/about_window.h"
#include "shell/install_and_trace.h"
#include "shell/launch.h"
#include "shell/log_manager_window.h"
#include "shell/main_window.h"
#include "shell/more_settings.h"
#include "setup/startup_folders.h"
#include "shell/test_seam.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "uninstall/operation_log.h"

namespace tarvo::shell {

struct TfrmTarvoUninstall::LanguageMenu {
    settings::TMainIni mainIni;
    language::TLanguageDisplayName names;
    LanguageMenu(language::TLanguage& language, std::wstring folder, language::TLanguageDisplayName::AfterSwitch after)
        : names(language, mainIni, std::move(folder), std::move(after)) {}
};

TfrmTarvoUninstall::TfrmTarvoUninstall(TProgramState& state) : state_(state) {}
TfrmTarvoUninstall::~TfrmTarvoUninstall() = default;

void TfrmTarvoUninstall::CreateLanguageMenu() {
    language::TLanguage& language = language::AppLanguage();
    languageMenu_ = std::make_unique<LanguageMenu>(language, language.Folder(), [this] { OnLanguageSwitched(); });
}

void TfrmTarvoUninstall::ShowMoreSettingsMenu() {
    const ui::unique_hmenu owned(::CreatePopupMenu());
    const HMENU menu = owned.get();
    if (!menu) return;
    // The language list is read once; its check mark follows every switch.
    HMENU languages = nullptr;
    if (languageMenu_) {
        // The program's one pump: a WM_QUIT met while the list is read is kept for the main loop.
        (void)languageMenu_->names.BuildMenu([] { platform::PumpWaitingMessages(); });
        languages = ::CreatePopupMenu();
        const auto& items = languageMenu_->names.Items();
        for (std::size_t i = 0; i < items.size() && kFirstLanguageCommand + i <= kLastLanguageCommand; ++i)
            ::AppendMenuW(languages, MF_STRING | (items[i].checked ? MF_CHECKED : 0U),
                          kFirstLanguageCommand + static_cast<UINT>(i), items[i].caption.c_str());
    }
    for (const MoreSettingsItem& item : MoreSettingsItems(settings::WindowsName())) {
        const std::wstring caption = MainWindowText(item.name, item.english);
        if (item.command == MoreSettingsCommand::Language) {
            // The menu owns the submenu once appended.
            if (languages) ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(languages), caption.c_str());
            continue;
        }
        ::AppendMenuW(menu, MF_STRING, static_cast<UINT>(item.command), caption.c_str());
    }
    const RECT button = title_.layout().menu;
    POINT at{button.left, button.bottom};
    ::ClientToScreen(hwnd(), &at);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, at.x, at.y, 0, hwnd(), nullptr));
    if (command) RunMenuCommand(command);
}

void TfrmTarvoUninstall::OnCommand(int id, int /*code*/) {
    // The links and page buttons report their clicks as commands, like the menu items.
    if (id == kSoftwarePageId || id == kPluginsPageId) ShowAddonPage(id == kPluginsPageId);
    else if (id == kLikeId) (void)LaunchAddress(LikeAddress(settings::ReadServerAddresses(settings::TMainIni()).site));
    else if (id == kFeedbackId)
        (void)LaunchAddress(FeedbackAddress(settings::ReadServerAddresses(settings::TMainIni()).forum));
    else RunMenuCommand(static_cast<unsigned>(id));
}

void TfrmTarvoUninstall::RunMenuCommand(unsigned id) {
    // A modal window of ours is open: a command arriving now (from another program) would
    // open a second one over it.
    if (!::IsWindowEnabled(hwnd())) return;
    if (id >= kFirstLanguageCommand && id <= kLastLanguageCommand) {
        SwitchLanguage(id - kFirstLanguageCommand);
        return;
    }
    const auto command = MoreSettingsCommandOf(id);
    if (!command) return;
    switch (*command) {
    case MoreSettingsCommand::ForcedUninstall: RunForcedUninstallWindow({}); break;
    case MoreSettingsCommand::InstallAndTrace:
        if (InstallAndTrace(hwnd())) RefreshAfterTrace();
        break;
    case MoreSettingsCommand::Orphans: RunOrphanScan(); break;
    case MoreSettingsCommand::ExportList: software_.ExportList(); break;
    case MoreSettingsCommand::LogManagement: ShowLogManager(hwnd(), uninstall::LogFolderOf(settings::DataFolder())); break;
    case MoreSettingsCommand::ViewRestorePoint: ViewRestorePoint(); break;
    case MoreSettingsCommand::CheckUpdate: StartUpdater(true); break;
    case MoreSettingsCommand::UserManual: OpenUserManual(); break;
    case MoreSettingsCommand::TechnicalSupport:
        (void)LaunchAddress(TechnicalSupportAddress(settings::ReadServerAddresses(settings::TMainIni()).site,
                                                    setup::OwnFileVersionText()));
        break;
    case MoreSettingsCommand::TarvoOnline:
        (void)LaunchAddress(HomePageAddress(settings::ReadServerAddresses(settings::TMainIni()).site));
        break;
    case MoreSettingsCommand::About: ShowAbout(hwnd()); break;
    case MoreSettingsCommand::Language: break;
    }
}

void TfrmTarvoUninstall::RefreshAfterTrace() {
    if (state_.catalogueReady) software_.Refresh(false);
}

void TfrmTarvoUninstall::ViewRestorePoint() {
    // The tool lives in the native system folder, which a 32-bit process sees only with
    // redirection off.
    const platform::FsRedirectionDisabled native(settings::IsWow64());
    const auto tool = RestoreToolPath(settings::WindowsName(), platform::GetSystemFolder());
    if (tool) {
        (void)LaunchCommand(*tool);
        return;
    }
    wchar_t caption[256] = {};
    ::GetWindowTextW(hwnd(), caption, 256);
    (void)test_seam::ShowMessageBox(hwnd(), language::GetText(L"Unknown_OS_M", L"Unknown operation system"), caption,
                                    MB_OK | MB_ICONWARNING);
}

void TfrmTarvoUninstall::StartUpdater(bool manual) {
    const std::wstring updater = platform::ReadStringValue(
        platform::RegistryLocation{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvo\\AutoPatch"}, L"AppPath");
    if (updater.empty() || state_.installLocation.empty() || !platform::FileExists(updater)) return;
    (void)LaunchFile(updater, UpdaterParameters(manual, state_.installLocation, language::AppLanguage().CurrentName()));
}

void TfrmTarvoUninstall::OpenUserManual() {
    // The installed copy's manual; a copy that is not installed (or an installation without
    // the manual) shows the one beside the running executable.
    std::wstring manual = state_.programFolder.empty() ? std::wstring() : state_.programFolder + L"Help.html";
    if (manual.empty() || !platform::FileExists(manual)) {
        const std::wstring running = setup::RunningExecutablePath();
        manual = common::FolderPart(running) + L"Help.html";
    }
    (void)LaunchFile(manual);
}

void TfrmTarvoUninstall::SwitchLanguage(std::size_t index) {
    if (!languageMenu_) return;
    (void)languageMenu_->names.BuildMenu();
    const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    if (languageMenu_->names.Click(index)) test_seam::Log(L"language: " + language::AppLanguage().CurrentName());
    ::SetCursor(previous);
}

void TfrmTarvoUninstall::CreateTitleLinks() {
    ui::ButtonFace face;
    face.style = ui::ButtonStyle::Caption;
    like_.Create(hwnd(), kLikeId, {}, face, dpi_);
    like_.SetBackground(ui::palette::kTitleBar);
}

void TfrmTarvoUninstall::CaptionTitleLinks() {
    like_.SetText(MainWindowText(L"Label_Like", L"Like"));
    news_.SetFeedbackText(MainWindowText(L"RdImageButton_Feedback", L"Feedback"));
}

int TfrmTarvoUninstall::LayOutTitleLinks(int right, int top, int height, int keepFree) {
    // As wide as its caption, so a longer translation widens it instead of cutting it; on a
    // narrow window the search box keeps its room and the link steps aside.
    if (!like_.hwnd()) return right;
    // A link without a frame needs less padding than a button.
    const int width = like_.PreferredWidth() - S(16);
    const bool fits = right - width >= keepFree;
    like_.Show(fits);
    if (!fits) return right;
    like_.Move(RECT{right - width, top, right, top + height});
    return right - width;
}

void TfrmTarvoUninstall::OnLanguageSwitched() { ui::BroadcastLanguageChanged(); }

void TfrmTarvoUninstall::OnLanguageChanged() {
    // The page buttons, the search box's cue, the title-bar hints, the programs page's
    // categories, header and buttons; the round button and the add-on page hear it themselves.
    FitCaptionsAndCategoryBar();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

}  // namespace tarvo::shell
