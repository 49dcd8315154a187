#include "shell/log_manager_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "language/language.h"
#include "leftovers/removal.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "uninstall/operation_log.h"

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

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::wstring Cell(HWND list, int row, int column) {
    wchar_t text[256] = {};
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = 256;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return text;
}

std::wstring ColumnHeader(HWND list, int column) {
    wchar_t text[64] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = text;
    col.cchTextMax = 64;
    ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    return text;
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
    window.ShowModal();
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(ModalProbe::ownerEnabledDuringRun);
    EXPECT_FALSE(window.IsOpen());
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

TEST(LogManagerWindow, TakesEveryTextFromTheLanguageFile) {
    ScratchFolder scratch;
    auto& language = tarvo::language::AppLanguage();
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    {
        TfrmLogManage window(scratch.path());
        ASSERT_TRUE(window.Create(nullptr));
        const HWND hwnd = window.hwnd();
        EXPECT_EQ(TextOf(hwnd), L"Deinstallationsprotokolle verwalten");
        EXPECT_EQ(TextOf(::GetDlgItem(hwnd, TfrmLogManage::kIdDeleteAll)), L"Alle löschen");
        EXPECT_EQ(TextOf(::GetDlgItem(hwnd, TfrmLogManage::kIdBackupsPage)), L"Sicherungen");
        EXPECT_EQ(ColumnHeader(::GetDlgItem(hwnd, TfrmLogManage::kIdBackupList), 5), L"Ordner");
    }
    ASSERT_TRUE(language.LoadLanguage(L"English"));
    TfrmLogManage window(scratch.path());
    ASSERT_TRUE(window.Create(nullptr));
    EXPECT_EQ(TextOf(window.hwnd()), L"Uninstall Log manager");
    EXPECT_EQ(TextOf(::GetDlgItem(window.hwnd(), TfrmLogManage::kIdRestore)), L"Restore");
}

TEST(LogManagerWindow, BackupsViewListsARemovalAndRestoresItWithoutOverwriting) {
    ScratchFolder files, data;
    const std::wstring prog = files.MakeFolder(L"Prog");
    files.MakeFile(L"Prog\\a.dll", "abcd");
    files.MakeFile(L"Prog\\b.txt", "bee");
    files.MakeFile(L"keep.txt", "");  // so the removal leaves the scratch folder itself

    // A removal of the folder, as the Powerful Scan window runs it.
    namespace lo = tarvo::leftovers;
    lo::TResultTree tree;
    auto node = [](std::wstring caption, lo::TNodeKind kind) {
        auto n = std::make_unique<lo::TTreeNode>();
        n->Caption = std::move(caption);
        n->Data.NodeKind = kind;
        n->StateImage = lo::kStateTicked;
        return n;
    };
    tree.Programs.push_back(node(L"Foo (3 items)", lo::nkProgram));
    auto& group = *tree.Programs[0]->Children.emplace_back(node(L"File(3 items)", lo::nkFileGroup));
    for (const auto& [path, kind] : {std::pair{prog, lo::PathKind::Folder}, std::pair{prog + L"\\a.dll", lo::PathKind::File},
                                     std::pair{prog + L"\\b.txt", lo::PathKind::File}}) {
        auto& item = *group.Children.emplace_back(node(path, lo::nkItem));
        item.Data.ItemKind = lo::FindingKind::File;
        item.Data.FileKind = kind;
        item.Data.FilePath = path;
    }
    struct Quiet final : lo::IRemovalProgress {
        void SetProgress(int) override {}
        void ShowCurrentItem(const std::wstring&) override {}
        void Pump() override {}
    } quiet;
    const std::wstring root = data.PathOf(L"Backup");
    lo::TRemovalBackup backup(root, tarvo::platform::LocalTimeNow());
    lo::TRemovalRun run;
    run.backup = &backup;
    lo::TLeftoverRemoval(tree, lo::DefaultRemovalActions(tarvo::uninstall::MakeLogContext(data.path())))
        .RemoveTicked(run, quiet);
    ASSERT_FALSE(tarvo::platform::FolderExists(prog));
    // Something is back in one file's place before the restore.
    files.MakeFile(L"Prog\\b.txt", "new");

    std::vector<std::wstring> questions, reports;
    TfrmLogManage window(
        data.PathOf(L"Log"), [&](HWND, const std::wstring& q) { return questions.push_back(q), true; }, root,
        [&](HWND, const std::wstring& text) { reports.push_back(text); });
    ASSERT_TRUE(window.Create(nullptr));
    const HWND hwnd = window.hwnd();
    const HWND list = ::GetDlgItem(hwnd, TfrmLogManage::kIdBackupList);
    EXPECT_FALSE(::IsWindowVisible(list));
    Click(hwnd, TfrmLogManage::kIdBackupsPage);
    EXPECT_TRUE(::IsWindowVisible(list));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hwnd, TfrmLogManage::kIdDeleteAll)));
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(Cell(list, 0, 1), L"Foo");
    EXPECT_EQ((std::vector<std::wstring>{Cell(list, 0, 2), Cell(list, 0, 3), Cell(list, 0, 4), Cell(list, 0, 5)}),
              (std::vector<std::wstring>{L"0", L"0", L"2", L"1"}));
    EXPECT_FALSE(Enabled(hwnd, TfrmLogManage::kIdRestore));

    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    ASSERT_TRUE(Enabled(hwnd, TfrmLogManage::kIdRestore));
    Click(hwnd, TfrmLogManage::kIdRestore);

    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find(L"Foo"), std::wstring::npos);
    EXPECT_EQ(tarvo::platform::ReadFileBytes(prog + L"\\a.dll").value_or(""), "abcd");
    EXPECT_EQ(tarvo::platform::ReadFileBytes(prog + L"\\b.txt").value_or(""), "new");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], L"Restored: 1 files, 1 folders, 0 registry values.\r\n\r\n"
                          L"Left alone, because something is back in its place:\r\n    " + prog + L"\\b.txt");

    // The row is marked restored and stays selected; Delete asks, naming the restore, and the
    // backup's folder goes.
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    const std::wstring restoredOn = window.Backups().Items()[0].restored;
    EXPECT_EQ(Cell(list, 0, 6), restoredOn.substr(0, 10));
    const std::wstring folder = window.Backups().Items()[0].folder;
    ASSERT_TRUE(::IsWindowVisible(::GetDlgItem(hwnd, TfrmLogManage::kIdDelete)));
    ASSERT_TRUE(Enabled(hwnd, TfrmLogManage::kIdDelete));
    Click(hwnd, TfrmLogManage::kIdDelete);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_NE(questions[1].find(L"restored on " + restoredOn), std::wstring::npos);
    EXPECT_FALSE(tarvo::platform::FolderExists(folder));
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(tarvo::platform::FolderExists(root));
}
