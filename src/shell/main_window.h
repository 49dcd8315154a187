#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "shell/browser_cleaner_page.h"
#include "shell/control_ids.h"
#include "shell/floating_button.h"
#include "shell/news_footer.h"
#include "shell/program_state.h"
#include "shell/programs_page.h"
#include "ui/image_button.h"
#include "ui/search_box.h"
#include "ui/title_bar.h"
#include "ui/window_base.h"

namespace tarvo::shell {

class TfrmForcedUninstall;
struct NewsMailbox;

// The program's main window. Other processes find it by this class name and caption.
class TfrmTarvoUninstall final : public ui::WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TfrmTarvoUninstall";
    static constexpr const wchar_t* kCaption = L"Uninstaller";
    static constexpr const wchar_t* kApplicationTitle = L"Tarvo Uninstaller";
    static constexpr int kDesignWidth = 870;
    static constexpr int kDesignHeight = 570;

    explicit TfrmTarvoUninstall(TProgramState& state);
    ~TfrmTarvoUninstall() override;

    // Creates the window and builds what it hosts, in start-up order; the window stays hidden.
    bool Create();

    [[nodiscard]] const std::wstring& PendingForcedUninstallText() const noexcept { return pendingForcedUninstallText_; }
    [[nodiscard]] TFrame_Software& ProgramsPage() noexcept { return software_; }
    [[nodiscard]] TfraBrowserCleaner& AddonPage() noexcept { return plugins_; }
    [[nodiscard]] TfrmUninstallButton& FloatingButton() noexcept { return floating_; }
    // The heading's page buttons: the programs page, or the browser add-on page. The round
    // button's caption follows.
    void ShowAddonPage(bool shown);

private:
    void OnPaint(HDC dc) override;
    void OnSize(UINT type, int width, int height) override;
    void OnTimer(UINT_PTR id) override;
    void OnClose() override;
    void OnDestroy() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr UINT_PTR kTimerGetSoftware = 1;
    static constexpr UINT_PTR kTimerCheckInstall = 2;
    static constexpr int kTitleHeight = 52;
    static constexpr int kCornerRadius = 6;
    enum ControlId {
        kSoftwarePageId = control_ids::kMainWindow,
        kPluginsPageId,
        kSearchBoxId,
        kSoftwareFrameId,
        kPluginsFrameId,
        kNewsFooterId,
        kLikeId = control_ids::kMainWindow + 20,
        kFeedbackId,
        kTitleButtonsId = control_ids::kTitleButtons
    };

    // Start-up, in the order it runs (main_window_startup.cpp).
    void FormCreate();
    void FormActivate();
    void Timer_GetSoftwareTimer();
    void Timer_CheckInstallTimer();
    void ProcessCommandLineHandOff();
    // A batch that stopped between an uninstall and its scan: offered once start-up is done.
    void OfferPendingScansAtStart();
    void ApplyWindowRegion();
    void ReportStatistic(const StatisticEvent& event);

    void RestoreWindowPlacement();
    void CreatePageFrames();
    void LoadLanguage();
    void FitCaptionsAndCategoryBar();
    [[nodiscard]] std::wstring SearchCue() const;
    void StartNewsCheck();
    void BuildProgramCatalogue();
    void SelectAllProgramsCategory();
    void ShowFloatingButtonWhenCreated();
    void SortProgramList();
    void ForcedUninstallForShellVerbFile();
    void LaunchAutomaticUpdater() { StartUpdater(false); }
    void StartScoreDatabaseDownload();
    // Posted by the download's worker thread when it is done; the window is only touched
    // here, on its own thread.
    static constexpr UINT UM_SCOREDBDONE = WM_APP + 0x31;
    void OnScoreDatabaseDownloaded() { plugins_.ReloadScores(); }
    void StartAddonEnumeration() { plugins_.Prepare(&state_.sqlite); }

    // The news in the footer (main_window_news.cpp). The check's worker leaves what to show
    // in the mailbox and posts UM_NEWS; a click on the news switches items after a delay.
    static constexpr UINT UM_NEWS = WM_APP + 0x32;
    static constexpr UINT_PTR kTimerNewsSwitch = 3;
    void OnNewsPosted();
    void OnNewsClick(const std::wstring& link);
    void Timer_NewsSwitchTimer();
    [[nodiscard]] int NewsFooterHeight() const noexcept;

    // The round button (main_window_button.cpp).
    void OnFloatingButtonClick(ButtonPage page);
    void OnPositionChanged();

    // Placement (main_window_placement.cpp).
    void ToggleMaximized();
    void SavePlacementAtClose();
    bool OnPositionChanging(WINDOWPOS& position) const;

    // Messages from other processes (main_window_handoff.cpp).
    void OnActivateRequest();
    bool OnCopyData(const COPYDATASTRUCT& data);
    void OnForcedUninstallRequest();
    void OnShellVerb();
    void OnDropFiles(HDROP drop);

    // The forced-uninstall window (main_window_forced.cpp).
    void ForcedUninstallForPath(const std::wstring& path);
    // Creates the window, lets `prepare` fill it, shows it modally, and refreshes the
    // catalogue afterwards when it started an uninstall.
    void RunForcedUninstallWindow(const std::function<void(TfrmForcedUninstall&)>& prepare);
    // The uninstall or the log window is open: hand-offs are dropped meanwhile.
    [[nodiscard]] bool BusyWithOtherDialog() const;
    [[nodiscard]] std::wstring ShellVerbFilePath() const;

    // The "More Settings" menu and its commands (main_window_menu.cpp).
    struct LanguageMenu;
    void CreateLanguageMenu();
    void ShowMoreSettingsMenu();
    void OnCommand(int id, int code) override;
    void RunMenuCommand(unsigned id);
    void ViewRestorePoint();
    // Leftovers of programs already gone, in the result tree (main_window_orphans.cpp).
    void RunOrphanScan();
    void StartUpdater(bool manual);
    void OpenUserManual();
    void SwitchLanguage(std::size_t index);
    // The "Like" link left of the caption buttons: made, captioned (with the footer's feedback
    // link), and laid out leftwards from `right` if it leaves `keepFree` clear; returns where
    // it ends.
    void CreateTitleLinks();
    void CaptionTitleLinks();
    int LayOutTitleLinks(int right, int top, int height, int keepFree);
    // The language changed: every window of ours is told (OnLanguageChanged).
    void OnLanguageSwitched();
    void OnLanguageChanged() override;

    void OnRefreshKey();
    // A traced installation has ended: the programs list shows what it installed.
    void RefreshAfterTrace();
    void LayOut();
    void Paint(HDC dc);
    [[nodiscard]] int S(int value) const noexcept { return ui::ScaleForDpi(value, dpi_); }

    TProgramState& state_;
    bool starting_ = false;
    bool firstActivation_ = false;
    bool maximized_ = false;
    RECT normalBounds_{};
    POINT startPosition_{};
    int dpi_ = 96;
    std::wstring pendingForcedUninstallText_;
    TfrmForcedUninstall* forced_ = nullptr;  // while the forced-uninstall window is open
    ui::TitleBar title_;
    ui::ImageButton pageSoftware_, pagePlugins_;
    ui::SearchBox search_;
    ui::ImageButton like_;
    TFrame_Software software_;
    TfraBrowserCleaner plugins_;
    bool addonPageShown_ = false;
    NewsFooter news_;
    std::shared_ptr<NewsMailbox> newsMailbox_;
    std::unique_ptr<online::TNewsSwitch> newsSwitch_;
    std::unique_ptr<LanguageMenu> languageMenu_;
    TfrmUninstallButton floating_;
    bool togglingMaximized_ = false;  // the button is placed once the maximise or restore is done
};

// Centres a window of the given size on the work area of the primary monitor.
[[nodiscard]] RECT CenteredOnWorkArea(int width, int height) noexcept;

// The work area of the monitor nearest to a window.
[[nodiscard]] RECT WorkAreaNear(HWND window) noexcept;

// F5 reaches whichever control has the focus; the message loop hands its release to the
// main window as well, which refreshes.
void ForwardRefreshKey(const MSG& message);

}  // namespace tarvo::shell
