#pragma once

#include <string>

#include "shell/program_state.h"
#include "ui/window_base.h"

namespace tarvo::shell {

// The program's main window. Other processes find it by this class name and caption.
class TfrmTarvoUninstall final : public ui::WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TfrmTarvoUninstall";
    static constexpr const wchar_t* kCaption = L"Uninstaller";
    static constexpr const wchar_t* kApplicationTitle = L"Tarvo Uninstaller";
    static constexpr int kDesignWidth = 870;
    static constexpr int kDesignHeight = 570;

    explicit TfrmTarvoUninstall(TProgramState& state) : state_(state) {}

    // Creates the window and builds what it hosts, in start-up order; the window stays hidden.
    bool Create();

    [[nodiscard]] const std::wstring& PendingForcedUninstallText() const noexcept { return pendingForcedUninstallText_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr UINT_PTR kTimerGetSoftware = 1;
    static constexpr UINT_PTR kTimerCheckInstall = 2;

    // Start-up, in the order it runs (main_window_startup.cpp).
    void FormCreate();
    void FormActivate();
    void Timer_GetSoftwareTimer();
    void Timer_CheckInstallTimer();
    void ProcessCommandLineHandOff();
    void ApplyWindowRegion();
    void ReportStatistic(const StatisticEvent& event);

    // Steps whose subsystems arrive later; each is called in its place in the order.
    void RestoreWindowPlacement() {}
    void CreatePageFrames() {}
    void LoadLanguage();
    void FitCaptionsAndCategoryBar() {}
    void StartNewsCheck() {}
    void BuildProgramCatalogue() {}
    void SelectAllProgramsCategory() {}
    void ShowFloatingButtonWhenCreated() {}
    void SortProgramList() {}
    void ForcedUninstallForShellVerbFile() {}
    void LaunchAutomaticUpdater() {}
    void StartScoreDatabaseDownload() {}
    void StartAddonEnumeration() {}

    // Messages from other processes (main_window_handoff.cpp).
    void OnActivateRequest();
    bool OnCopyData(const COPYDATASTRUCT& data);
    void OnForcedUninstallRequest();

    void Paint(HDC dc, const RECT& client);

    TProgramState& state_;
    bool starting_ = false;
    bool firstActivation_ = false;
    std::wstring pendingForcedUninstallText_;
};

// Centres a window of the given size on the work area of the primary monitor.
[[nodiscard]] RECT CenteredOnWorkArea(int width, int height) noexcept;

}  // namespace tarvo::shell
