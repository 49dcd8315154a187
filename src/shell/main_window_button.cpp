// The round button below the main window: shown once the catalogue is there, kept on the
// window's bottom edge through every move, and acting on the page that is shown.

#include "shell/main_window.h"

#include "settings/statistic_events.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

void TfrmTarvoUninstall::ShowFloatingButtonWhenCreated() {
    if (!floating_.hwnd()) {
        if (!floating_.Create(hwnd(), dpi_)) return;
        floating_.onClick = [this](ButtonPage page) { OnFloatingButtonClick(page); };
    }
    floating_.PlaceButton(hwnd());
    if (::IsWindowVisible(hwnd()) && !::IsIconic(hwnd())) floating_.Show(true);
}

void TfrmTarvoUninstall::OnPositionChanged() {
    // During start-up and while maximising or restoring, the button waits for the final place.
    if (starting_ || togglingMaximized_ || !floating_.hwnd()) return;
    floating_.PlaceButton(hwnd());
    if (::IsWindowVisible(hwnd()) && !::IsIconic(hwnd()) && !::IsWindowVisible(floating_.hwnd()) &&
        state_.catalogueReady)
        floating_.Show(true);
}

void TfrmTarvoUninstall::OnFloatingButtonClick(ButtonPage page) {
    // The popup menus close themselves when the button takes the mouse; nothing stays open.
    test_seam::Log(page == ButtonPage::Programs ? L"round button: uninstall" : L"round button: remove");
    if (page == ButtonPage::Programs) {
        namespace stat = settings::statistic;
        software_.UninstallSelected(false, {{stat::kRoundButtonUninstall, {7, 0, 0, 0}},
                                            {stat::kRoundButtonUninstallFollowUp, {0, 0, 0, 0}}});
        return;
    }
    state_.statistics.DoStatistic(settings::statistic::kRoundButtonRemove, 7, 0, 0, 0);
    state_.statistics.DoStatistic(settings::statistic::kRoundButtonRemoveFollowUp, 0, 0, 0, 0);
    plugins_.RemoveSelected();
}

}  // namespace tarvo::shell
