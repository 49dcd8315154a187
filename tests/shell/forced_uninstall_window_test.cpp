// The forced-uninstall window forwarding to its logic: a file dropped on it lists the
// programs installed beside it, the list's selection drives "Next", and "Next" hands the
// chosen entry over and closes the window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <optional>
#include <vector>

#include "inventory/software_info.h"
#include "shell/forced_uninstall_window.h"
#include "support/scratch_folder.h"

using tarvo::inventory::TSoftInfo;
using tarvo::inventory::TSoftList;
using tarvo::inventory::TSoftwareInfo;
using tarvo::shell::TfrmForcedUninstall;

namespace {

// A drop handle as Explorer builds one: DROPFILES followed by the wide paths, each ended by a
// zero, and one more zero. The receiver frees it with DragFinish.
HDROP MakeDrop(const std::wstring& path) {
    const SIZE_T size = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(files) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TSoftInfo Program(const std::wstring& name, const std::wstring& folder, bool view64) {
    TSoftInfo e;
    e.DisplayName = name;
    e.InstallLocation = folder;
    e.View64 = view64;
    e.SizeText = L"1.00 MB";
    return e;
}

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// One program installed in both registry views, and the window that lists them when its
// main file is dropped; `handedOver` records what "Next" gave the uninstall dialog.
class ForcedUninstallWindow : public ::testing::Test {
protected:
    ForcedUninstallWindow()
        : exe(scratch.MakeFile(L"Foo\\foo.exe", "MZ")), catalogue(nullptr, BothViewsOfFoo(scratch)),
          window(&catalogue, nullptr, [this](const tarvo::uninstall::TForcedNext& next) {
              handedOver = next.entry ? tarvo::uninstall::TForcedUninstall::RowCaption(*next.entry) : L"(none)";
          }) {}

    static TSoftwareInfo::Options BothViewsOfFoo(const tarvo::test::ScratchFolder& scratch) {
        TSoftwareInfo::Options options;
        options.cacheFile = scratch.PathOf(L"SoftwareCache.ini");
        options.readInventory = [folder = scratch.PathOf(L"Foo")](TSoftList& list) {
            list.push_back(std::make_unique<TSoftInfo>(Program(L"Foo", folder, false)));
            list.push_back(std::make_unique<TSoftInfo>(Program(L"Foo", folder, true)));
        };
        return options;
    }

    tarvo::test::ScratchFolder scratch;
    const std::wstring exe;
    TSoftwareInfo catalogue;
    std::optional<std::wstring> handedOver;
    TfrmForcedUninstall window;
};

}  // namespace

TEST_F(ForcedUninstallWindow, DropListsBothViewsAndNextWaitsForASelection) {
    ASSERT_TRUE(window.Create(nullptr));
    const HWND next = ::GetDlgItem(window.hwnd(), TfrmForcedUninstall::kIdNext);
    const HWND list = ::GetDlgItem(window.hwnd(), TfrmForcedUninstall::kIdList);
    EXPECT_FALSE(::IsWindowEnabled(next));
    EXPECT_FALSE(::IsWindowVisible(list));

    ::SendMessageW(window.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(exe)), 0);
    wchar_t pathText[MAX_PATH] = {};
    ::GetWindowTextW(::GetDlgItem(window.hwnd(), TfrmForcedUninstall::kIdPathBox), pathText, MAX_PATH);
    EXPECT_EQ(std::wstring(pathText), exe);
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    wchar_t caption[64] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = caption;
    item.cchTextMax = 64;
    ::SendMessageW(list, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(caption), L"Foo(x64)");
    EXPECT_FALSE(::IsWindowEnabled(next)) << "two rows, none selected";

    // "Next" while disabled does nothing, even when its command arrives.
    ::SendMessageW(window.hwnd(), WM_COMMAND, TfrmForcedUninstall::kIdNext, 0);
    EXPECT_FALSE(handedOver);

    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    Pump();
    EXPECT_TRUE(::IsWindowEnabled(next));

    ::SendMessageW(window.hwnd(), WM_COMMAND, TfrmForcedUninstall::kIdNext, 0);
    EXPECT_EQ(handedOver, L"Foo(x64)");
    EXPECT_TRUE(window.Started());
    EXPECT_EQ(window.hwnd(), nullptr) << "the window closes after the uninstall dialog";
}

TEST(ForcedUninstallWindowDrop, RefusedDropChangesNothing) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Foo");
    TfrmForcedUninstall window(nullptr, nullptr, {});
    ASSERT_TRUE(window.Create(nullptr));
    for (const std::wstring& path : {folder, std::wstring(L"C:\\")}) {
        ::SendMessageW(window.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(path)), 0);
        wchar_t pathText[MAX_PATH] = {};
        ::GetWindowTextW(::GetDlgItem(window.hwnd(), TfrmForcedUninstall::kIdPathBox), pathText, MAX_PATH);
        EXPECT_EQ(std::wstring(pathText), L"");
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window.hwnd(), TfrmForcedUninstall::kIdNext)));
    }
    window.CloseDialog();
    EXPECT_EQ(window.hwnd(), nullptr);
}

TEST_F(ForcedUninstallWindow, TabWalksTheControlsAndEnterMeansNextOnceItIsEnabled) {
    ASSERT_TRUE(window.Create(nullptr));
    const HWND hwnd = window.hwnd();
    auto item = [hwnd](int id) { return ::GetDlgItem(hwnd, id); };
    // The modal loop hands every key to IsDialogMessage first, as here.
    auto press = [hwnd](WPARAM key) {
        MSG down{::GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        if (!::IsDialogMessageW(hwnd, &down)) {
            ::TranslateMessage(&down);
            ::DispatchMessageW(&down);
        }
    };
    ::ShowWindow(hwnd, SW_SHOWNA);
    ::SendMessageW(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(exe)), 0);
    ASSERT_TRUE(::IsWindowVisible(item(TfrmForcedUninstall::kIdList)));

    ::SetFocus(item(TfrmForcedUninstall::kIdList));
    press(VK_RETURN);
    EXPECT_FALSE(handedOver) << "Enter while Next is disabled";

    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageW(item(TfrmForcedUninstall::kIdList), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    Pump();
    ::SetFocus(item(TfrmForcedUninstall::kIdBrowse));
    std::vector<int> order;
    for (int i = 0; i < 4; ++i) {
        press(VK_TAB);
        order.push_back(::GetDlgCtrlID(::GetFocus()));
    }
    EXPECT_EQ(order, (std::vector<int>{TfrmForcedUninstall::kIdList, TfrmForcedUninstall::kIdNext,
                                       TfrmForcedUninstall::kIdCancel, TfrmForcedUninstall::kIdBrowse}))
        << "the close button is reached with Escape, not with Tab";
    EXPECT_FALSE(handedOver) << "moving the focus clicks nothing";

    ::SetFocus(item(TfrmForcedUninstall::kIdList));
    press(VK_RETURN);
    EXPECT_EQ(handedOver, L"Foo(x64)");
    EXPECT_EQ(window.hwnd(), nullptr);
}
