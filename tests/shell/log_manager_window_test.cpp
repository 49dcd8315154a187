#include "shell/log_manager_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "platform/files.h"
#include "support/scratch_folder.h"

using tarvo::shell::TfrmLogManage;
using tarvo::test::ScratchFolder;

namespace {

bool Enabled(HWND window, int id) { return ::IsWindowEnabled(::GetDlgItem(window, id)) != FALSE; }

int ItemCount(HWND window) {
    return static_cast<int>(::SendDlgItemMessageW(window, TfrmLogManage::kIdList, LVM_GETITEMCOUNT, 0, 0));
}

void SelectItem(HWND window, int index) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendDlgItemMessageW(window, TfrmLogManage::kIdList, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&state));
}

void Click(HWND window, int id) {
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

struct ModalProbe {
    static inline HWND owner = nullptr;
    static inline HWND dialog = nullptr;
    static inline bool ownerEnabledDuringRun = true;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ownerEnabledDuringRun = ::IsWindowEnabled(owner) != FALSE;
        Click(dialog, TfrmLogManage::kIdClose);
    }
};

}  // namespace

TEST(LogManagerWindow, ListsTheLogsAsIconsAndEnablesButtonsBySelection) {
    ScratchFolder scratch;
    scratch.MakeFile(L"2013-05-12.log", "x");
    scratch.MakeFile(L"notes.LOG.txt", "x");
    scratch.MakeFile(L"other.txt", "x");
    scratch.MakeFolder(L"x.log");

    std::vector<std::wstring> questions;
    TfrmLogManage window(scratch.path(), [&](HWND, const std::wstring& question) {
        questions.push_back(question);
        return questions.size() != 1;  // "No" to the first question, "Yes" afterwards
    });
    ASSERT_TRUE(window.Create(nullptr));
    const HWND hwnd = window.hwnd();

    const HWND list = ::GetDlgItem(hwnd, TfrmLogManage::kIdList);
    EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & (LVS_TYPEMASK | LVS_AUTOARRANGE), LVS_ICON | LVS_AUTOARRANGE);
    EXPECT_EQ(ItemCount(hwnd), 2);
    EXPECT_FALSE(Enabled(hwnd, TfrmLogManage::kIdOpen));
    EXPECT_FALSE(Enabled(hwnd, TfrmLogManage::kIdDelete));
    EXPECT_TRUE(Enabled(hwnd, TfrmLogManage::kIdDeleteAll));

    SelectItem(hwnd, 1);
    EXPECT_TRUE(Enabled(hwnd, TfrmLogManage::kIdOpen));
    EXPECT_TRUE(Enabled(hwnd, TfrmLogManage::kIdDelete));
    const std::wstring chosen = window.Model().OpenPath();

    Click(hwnd, TfrmLogManage::kIdDelete);  // answered No: nothing changes
    EXPECT_EQ(ItemCount(hwnd), 2);
    EXPECT_TRUE(tarvo::platform::FileExists(chosen));

    Click(hwnd, TfrmLogManage::kIdDelete);
    EXPECT_EQ(ItemCount(hwnd), 1);
    EXPECT_FALSE(tarvo::platform::FileExists(chosen));
    EXPECT_FALSE(Enabled(hwnd, TfrmLogManage::kIdOpen));
    EXPECT_FALSE(Enabled(hwnd, TfrmLogManage::kIdDelete));
    EXPECT_TRUE(Enabled(hwnd, TfrmLogManage::kIdDeleteAll));

    Click(hwnd, TfrmLogManage::kIdDeleteAll);
    EXPECT_EQ(ItemCount(hwnd), 0);
    EXPECT_FALSE(Enabled(hwnd, TfrmLogManage::kIdDeleteAll));
    EXPECT_TRUE(tarvo::platform::FileExists(scratch.PathOf(L"other.txt")));

    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[0], L"Are you sure you want to delete the selected file? The deletion CANNOT be restored.");
    EXPECT_EQ(questions[2], L"Are you sure you want to delete all files? The deletion CANNOT be restored.");

    Click(hwnd, TfrmLogManage::kIdCancel);
    EXPECT_FALSE(window.IsOpen());
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(LogManagerWindow, ModalRunDisablesTheOwnerUntilClosed) {
    ScratchFolder scratch;
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                         nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    TfrmLogManage window(scratch.PathOf(L"missing"));
    ASSERT_TRUE(window.Create(owner));
    EXPECT_EQ(ItemCount(window.hwnd()), 0);
    EXPECT_FALSE(Enabled(window.hwnd(), TfrmLogManage::kIdDeleteAll));

    // While the run goes on, a timer looks at the owner and then presses the close button.
    ModalProbe::owner = owner;
    ModalProbe::dialog = window.hwnd();
    ModalProbe::ownerEnabledDuringRun = true;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &ModalProbe::Tick);
    window.RunModal();
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(ModalProbe::ownerEnabledDuringRun);
    EXPECT_FALSE(window.IsOpen());
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}
