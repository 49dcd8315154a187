// The removal window itself: its size limits, maximise and restore, the warning band, ticking
// from the keyboard, and a whole run from "Select All" to the final state.
#include "shell/power_scan_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "leftovers/scan_driver.h"
#include "shell/leftover_scan_hook.h"
#include "platform/files.h"
#include "support/scratch_folder.h"
#include "ui/font_cache.h"
#include "ui/virtual_list_view.h"
#include "ui/window_base.h"
#include "uninstall/operation_log.h"

using tarvo::shell::TfrmPowerScan;
using tarvo::test::ScratchFolder;
namespace lo = tarvo::leftovers;

namespace {

void Click(HWND window, int id) {
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

RECT BoundsOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

RECT ChildBounds(HWND window, int id) {
    RECT r = BoundsOf(::GetDlgItem(window, id));
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct Scanned {
    ScratchFolder files;
    ScratchFolder data;
    std::wstring folder;
    lo::TResultTree tree;
    lo::TIconList images;
    Scanned() {
        folder = files.MakeFolder(L"Prog");
        files.MakeFile(L"Prog\\a.dll", "abcd");
        files.MakeFile(L"Prog\\sub\\b.txt", "b");
        lo::ScanLeftovers(nullptr, tree, folder + L"\\", images);
    }
    lo::TPowerScanSettings Settings() const {
        lo::TPowerScanSettings s;
        s.backupRoot = data.PathOf(L"Backup");
        return s;
    }
};

struct Driver {
    static inline HWND window = nullptr;
    static inline int ticks = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        Click(window, TfrmPowerScan::kIdLink);
        Click(window, TfrmPowerScan::kIdDelete);
        // The final state: the window stays to say where the items went; Cancel ends it.
        const HWND label = ::GetDlgItem(window, TfrmPowerScan::kIdCurrent);
        wchar_t text[256] = {};
        ::GetWindowTextW(label, text, 256);
        finalText = ::IsWindowVisible(label) ? text : L"(hidden)";
        linkShown = ::IsWindowVisible(::GetDlgItem(window, TfrmPowerScan::kIdLink)) != FALSE;
        Click(window, TfrmPowerScan::kIdCancel);
        ++ticks;
    }
    static inline std::wstring finalText;
    static inline bool linkShown = true;
};

class Rows final : public tarvo::ui::ListDataSource {
public:
    void GetRow(int row, tarvo::ui::ListRowData& data) override {
        data.caption = L"Program " + std::to_wstring(row);
        data.detail = L"Publisher";
        data.cells[2] = L"12.50 MB";
        data.cells[3] = L"2024-05-01";
        data.icon = -1;
    }
};

// The window's pixels as its screen shows them after a full repaint.
std::vector<COLORREF> Pixels(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r{};
    ::GetClientRect(window, &r);
    std::vector<COLORREF> pixels;
    const HDC dc = ::GetDC(window);
    for (int y = 0; y < r.bottom; y += 2)
        for (int x = 0; x < r.right; ++x) pixels.push_back(::GetPixel(dc, x, y));
    ::ReleaseDC(window, dc);
    return pixels;
}

}  // namespace

// The window lends our shared fonts to its controls; closing it must leave them to the
// programs list, which went on drawing in the bold system font when one was deleted.
TEST(PowerScanWindow, ClosingLeavesTheProgramsListPaintingAsBefore) {
    using namespace tarvo::ui;
    const int dpi = ScreenDpi();
    const HWND parent = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 640, 200, nullptr,
                                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    std::vector<ListColumn> columns(4);
    columns[0] = {L"Name (Total: %d)", 260, ColumnKind::Caption, true, false, {}};
    columns[1] = {L"Operate", 100, ColumnKind::Button, false, false, L"Uninstall"};
    columns[2] = {L"Size", 100, ColumnKind::Text, true, true, {}};
    columns[3] = {L"Date", 100, ColumnKind::Text, true, false, {}};
    Rows rows;
    VirtualListView list;
    ASSERT_TRUE(list.Create(parent, 7, {0, 0, 640, 200}, std::move(columns), rows, dpi));
    list.SetRowCount(3);
    const std::vector<COLORREF> before = Pixels(list.list());
    {
        Scanned s;
        TfrmPowerScan window(s.tree, s.images, lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(s.data.path())),
                             s.Settings(), [](HWND, const std::wstring&) { return false; });
        ASSERT_TRUE(window.Create(nullptr));
    }
    EXPECT_EQ(::GetObjectType(SharedFonts().Get(FontRole::Body, dpi)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_TRUE(Pixels(list.list()) == before);
    ::DestroyWindow(parent);
}

TEST(PowerScanWindow, OpensInsideTheWorkAreaOverAnOwnerAtItsEdge) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT work = info.rcWork;
    // An owner hanging over the bottom-right corner: centred on it, the window would too.
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, work.right - 200, work.bottom - 100,
                                         400, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    Scanned s;
    TfrmPowerScan window(s.tree, s.images, lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(s.data.path())),
                         s.Settings(), [](HWND, const std::wstring&) { return false; });
    ASSERT_TRUE(window.Create(owner));
    RECT bounds = BoundsOf(window.hwnd()), inside{};
    ::IntersectRect(&inside, &bounds, &work);
    EXPECT_TRUE(::EqualRect(&inside, &bounds)) << bounds.left << "," << bounds.top << "," << bounds.right << ","
                                               << bounds.bottom;
    ::DestroyWindow(owner);
}

TEST(PowerScanWindow, KeepsItsMinimumSizeMaximisesToTheWorkAreaAndRestores) {
    Scanned s;
    ASSERT_FALSE(s.tree.Programs.empty());
    TfrmPowerScan window(s.tree, s.images, lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(s.data.path())), s.Settings(),
                         [](HWND, const std::wstring&) { return false; });
    ASSERT_TRUE(window.Create(nullptr));
    const HWND hwnd = window.hwnd();
    const int dpi = tarvo::ui::ScreenDpi();

    ::SetWindowPos(hwnd, nullptr, 10, 10, 300, 200, SWP_NOZORDER);
    RECT r = BoundsOf(hwnd);
    EXPECT_EQ(r.right - r.left, tarvo::ui::ScaleForDpi(TfrmPowerScan::kMinWidth, dpi));
    EXPECT_EQ(r.bottom - r.top, tarvo::ui::ScaleForDpi(TfrmPowerScan::kMinHeight, dpi));
    ::SetWindowPos(hwnd, nullptr, 20, 30, 700, 500, SWP_NOZORDER);
    const RECT normal = BoundsOf(hwnd);

    Click(hwnd, TfrmPowerScan::kIdMaximize);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    EXPECT_TRUE(::EqualRect(&info.rcWork, &(r = BoundsOf(hwnd))));
    Click(hwnd, TfrmPowerScan::kIdMaximize);
    EXPECT_TRUE(::EqualRect(&normal, &(r = BoundsOf(hwnd))));

    // Without the warning band the tree moves up and grows by the band's height.
    const RECT withBand = ChildBounds(hwnd, TfrmPowerScan::kIdTree);
    window.ShowMultiProgramWarning(false);
    const RECT withoutBand = ChildBounds(hwnd, TfrmPowerScan::kIdTree);
    EXPECT_LT(withoutBand.top, withBand.top);
    EXPECT_EQ(withoutBand.bottom, withBand.bottom);

    // Space on the selected node ticks it with everything below it; Delete follows.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, TfrmPowerScan::kIdDelete)));
    const HWND tree = ::GetDlgItem(hwnd, TfrmPowerScan::kIdTree);
    TreeView_SelectItem(tree, TreeView_GetRoot(tree));
    ::SendMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(s.tree.Programs[0]->StateImage, lo::kStateTicked);
    EXPECT_EQ(TreeView_GetItemState(tree, TreeView_GetRoot(tree), TVIS_STATEIMAGEMASK) >> 12, 2u);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, TfrmPowerScan::kIdDelete)));

    // Tab, as the modal loop hands it to IsDialogMessage: from the shredder box over the two
    // buttons back to the tree; the caption buttons are no tab stops.
    ::ShowWindow(hwnd, SW_SHOWNA);
    ::SetFocus(::GetDlgItem(hwnd, TfrmPowerScan::kIdShredder));
    std::vector<int> order;
    for (int i = 0; i < 3; ++i) {
        MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        if (!::IsDialogMessageW(hwnd, &tab)) ::DispatchMessageW(&tab);
        order.push_back(::GetDlgCtrlID(::GetFocus()));
    }
    EXPECT_EQ(order, (std::vector<int>{TfrmPowerScan::kIdDelete, TfrmPowerScan::kIdCancel, TfrmPowerScan::kIdTree}));

    // "No" to the question: nothing goes.
    Click(hwnd, TfrmPowerScan::kIdDelete);
    EXPECT_TRUE(tarvo::platform::FolderExists(s.folder));
}

TEST(PowerScanWindow, SelectAllAndDeleteRemovesEverythingAndTheFinalStateSaysItWasBackedUp) {
    Scanned s;
    int questions = 0;
    TfrmPowerScan window(s.tree, s.images, lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(s.data.path())), s.Settings(),
                         [&](HWND, const std::wstring&) { return ++questions, true; });
    ASSERT_TRUE(window.Create(nullptr));
    Driver::window = window.hwnd();
    ::SetTimer(nullptr, 0, 200, &Driver::Tick);
    window.ShowModal();  // returns only when the window has closed

    EXPECT_EQ(Driver::ticks, 1);
    EXPECT_EQ(Driver::finalText, lo::TPowerScanModel::BackedUpText());
    EXPECT_FALSE(Driver::linkShown);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(s.tree.Programs.empty());
    EXPECT_FALSE(tarvo::platform::FolderExists(s.folder));
    EXPECT_FALSE(::IsWindow(Driver::window));
    EXPECT_FALSE(window.Model().lastBackup().empty());
    EXPECT_TRUE(tarvo::platform::FolderExists(s.data.PathOf(L"Log")));  // the day log got its block
}

TEST(PowerScanHandOff, WarningCountFollowsTheSingleEntryOrTheFirstSharedFolderOfABatch) {
    tarvo::inventory::TSoftInfo a, b, c;
    a.InstallLocation = L"C:\\Apps\\A";
    b.InstallLocation = L"C:\\Shared";
    c.InstallLocation = L"C:\\Apps\\C";
    const std::map<std::wstring, int> counts{{L"C:\\Apps\\A", 1}, {L"C:\\Shared", 3}, {L"C:\\Apps\\C", 2}};
    std::vector<std::wstring> asked;
    const tarvo::shell::TEntriesUnderFolder counter = [&](const std::wstring& folder) {
        asked.push_back(folder);
        return counts.at(folder);
    };
    tarvo::uninstall::TLeftoverScanRequest single;
    single.entries = {&b};
    EXPECT_EQ(tarvo::shell::MultiProgramCount(single, counter, {}), 3);

    tarvo::uninstall::TLeftoverScanRequest batch;
    batch.batch = true;
    batch.entries = {&a, &b, &c};
    asked.clear();
    EXPECT_EQ(tarvo::shell::MultiProgramCount(batch, counter, {}), 3);
    // Once a shared folder is found the rest are not asked about.
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"C:\\Apps\\A", L"C:\\Shared"}));

    tarvo::uninstall::TLeftoverScanRequest folder;
    folder.folder = L"C:\\Apps\\";
    EXPECT_EQ(tarvo::shell::MultiProgramCount(folder, counter, {}), 1);
    EXPECT_EQ(tarvo::shell::MultiProgramCount(batch, counter, [] { return true; }), 1);

    // The catalogue as the dialog opened: the program just uninstalled still counts, and an
    // entry without a folder gets the warning.
    const std::vector<tarvo::inventory::TProgramPlace> places = {
        {L"A", L"C:\\Apps\\A", {}}, {L"B", L"c:/shared//", {}}, {L"B Tool", L"C:\\Shared\\Tool", {}}};
    const auto snapshot = tarvo::shell::SnapshotCounter(places);
    EXPECT_EQ(tarvo::shell::MultiProgramCount(single, snapshot, {}), 2);
    tarvo::inventory::TSoftInfo bare;
    single.entries = {&bare};
    EXPECT_EQ(tarvo::shell::MultiProgramCount(single, snapshot, {}), 3);
    single.entries = {&a};
    EXPECT_EQ(tarvo::shell::MultiProgramCount(single, snapshot, {}), 1);
}
