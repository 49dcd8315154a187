// The forced uninstall's decisions through its logic class, with a recording view for the
// window, and its hand-off into the uninstall dialog's session: with an entry the program's
// own uninstaller runs; without one the file goes and its folder is scanned.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <initializer_list>

#include "inventory/software_info.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "settings/main_ini.h"
#include "support/scratch_folder.h"
#include "test_programs.h"
#include "uninstall/forced_uninstall.h"
#include "uninstall/operation_log.h"
#include "uninstall/uninstall_entry.h"
#include "uninstall/uninstall_session.h"
#include "uninstall/uninstall_stage.h"

using namespace tarvo::uninstall;
using tarvo::inventory::TSoftInfo;
using tarvo::inventory::TSoftList;
using tarvo::inventory::TSoftwareInfo;
using tarvo::test::ScratchFolder;

namespace {

class RecordingForcedView final : public IForcedUninstallView {
public:
    std::wstring pathText;
    std::vector<std::wstring> rows;
    TForcedPage page = TForcedPage::Tip;
    bool nextEnabled = false;
    int invalidShown = 0;
    int selectedByModel = -1;
    int calls = 0;

    void ShowPathText(const std::wstring& text) override { ++calls, pathText = text; }
    void ShowRows(const std::vector<const TSoftInfo*>& entries) override {
        ++calls;
        rows.clear();
        for (const TSoftInfo* e : entries) rows.push_back(TForcedUninstall::RowCaption(*e));
    }
    void SelectRow(int row) override { ++calls, selectedByModel = row; }
    void ShowPage(TForcedPage shown) override { ++calls, page = shown; }
    void EnableNext(bool enabled) override { ++calls, nextEnabled = enabled; }
    void ShowInvalidPath() override { ++calls, ++invalidShown; }
    void BringForward() override { ++calls; }
};

class QuietDialogView final : public IUninstallView {
public:
    std::vector<TUninstallStage> stages;
    std::vector<std::wstring> notices;
    void ApplyStage(TUninstallStage stage) override { stages.push_back(stage); }
    void SetCreateRestoreTicked(bool) override {}
    void ShowProgressTitle(const std::wstring&) override {}
    void SetBusy(bool) override {}
    void EnableUninstall(bool) override {}
    void EnableScan(bool) override {}
    void StartTimer(unsigned) override {}
    void HideDialog() override {}
    void ShowNotice(const std::wstring& text) override { notices.push_back(text); }
    void CloseDialog() override {}
};

TSoftInfo Program(const std::wstring& name, const std::wstring& folder, const std::wstring& command = {},
                  bool view64 = false) {
    TSoftInfo e;
    e.DisplayName = name;
    e.InstallLocation = folder;
    e.UninstallString = command;
    e.View64 = view64;
    return e;
}

std::unique_ptr<TSoftwareInfo> Catalogue(const ScratchFolder& scratch, std::vector<TSoftInfo> programs) {
    TSoftwareInfo::Options options;
    options.cacheFile = scratch.PathOf(L"SoftwareCache.ini");
    options.readInventory = [programs](TSoftList& list) {
        for (const TSoftInfo& p : programs) list.push_back(std::make_unique<TSoftInfo>(p));
    };
    return std::make_unique<TSoftwareInfo>(nullptr, options);
}

std::wstring WindowsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryW(buffer, MAX_PATH);
    return buffer;
}

// The real actions, with the log and the settings kept in the scratch folder.
TUninstallActions RealActions(const ScratchFolder& scratch) {
    return DefaultUninstallActions(MakeLogContext(scratch.path()), tarvo::settings::TMainIni(scratch.PathOf(L"Main.ini")));
}

}  // namespace

TEST(ForcedUninstall, DroppedFileOfAnInstalledProgramListsItAndNextRunsItsUninstaller) {
    ScratchFolder scratch;
    const std::wstring exe = scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    const std::wstring marker = scratch.PathOf(L"uninstalled.txt");
    const std::wstring command =
        tarvo::test::FakeUninstaller() + L" chain " + tarvo::test::Quote(marker) + L" 50";
    auto catalogue = Catalogue(scratch, {Program(L"Other", scratch.PathOf(L"Other")),
                                         Program(L"Foo 1.0", scratch.PathOf(L"Foo"), command)});
    RecordingForcedView view;
    TForcedUninstall model(catalogue.get(), view);

    // A shortcut to the program file lists the same program; the shortcut is the raw path.
    const std::wstring link = scratch.PathOf(L"Foo.lnk");
    ASSERT_TRUE(tarvo::platform::CreateShellLinkIn(link, exe, L""));
    ASSERT_TRUE(model.Dropped(link));
    EXPECT_EQ(view.pathText, exe);
    EXPECT_EQ(model.RawPath(), link);
    EXPECT_EQ(view.rows, std::vector<std::wstring>{L"Foo 1.0"});

    ASSERT_TRUE(model.Dropped(exe));
    EXPECT_EQ(model.RawPath(), exe);
    EXPECT_EQ(view.rows, std::vector<std::wstring>{L"Foo 1.0"});
    EXPECT_EQ(view.page, TForcedPage::ListView);
    EXPECT_TRUE(view.nextEnabled);

    // One row and none selected: "Next" selects it and hands it over.
    const TForcedNext next = model.Next();
    EXPECT_TRUE(model.Started());
    EXPECT_EQ(view.selectedByModel, 0);
    ASSERT_EQ(next.opening.kind, TForcedOpening::WithEntry);
    ASSERT_NE(next.entry, nullptr);
    EXPECT_EQ(next.entry->DisplayName, L"Foo 1.0");

    QuietDialogView dialog;
    TUninstallActions actions = RealActions(scratch);
    actions.uninstallEntry = [](const TSoftInfo& entry) { return UninstallEntry(entry); };
    TUninstallSession session({next.entry}, true, false, dialog, std::move(actions), next.opening);
    session.Shown();
    EXPECT_EQ(session.stage(), usAsk);
    session.UninstallClicked();
    session.TimerFired();
    EXPECT_EQ(session.stage(), usFinished);
    EXPECT_TRUE(tarvo::platform::FileExists(marker)) << "the program's own uninstaller did not run to its end";
    EXPECT_TRUE(tarvo::platform::FileExists(exe)) << "the forced path is not deleted when an entry uninstalls";
}

TEST(ForcedUninstall, FileOfAnUnknownProgramIsDeletedAndItsFolderScanned) {
    ScratchFolder scratch;
    const std::wstring exe = scratch.MakeFile(L"Stray\\stray.exe", "MZ");
    const std::wstring kept = scratch.MakeFile(L"Stray\\readme.txt", "x");
    const std::wstring viaLink = scratch.MakeFile(L"Linked\\linked.exe", "MZ");
    const std::wstring link = scratch.PathOf(L"Linked\\linked.lnk");
    ASSERT_TRUE(tarvo::platform::CreateShellLinkIn(link, viaLink, L""));
    auto catalogue = Catalogue(scratch, {Program(L"Other", scratch.PathOf(L"Other"))});

    const struct {
        std::wstring dropped;
        std::wstring folder;
        std::vector<std::wstring> gone;
    } cases[] = {
        {exe, scratch.PathOf(L"Stray\\"), {exe}},
        {link, scratch.PathOf(L"Linked\\"), {link, viaLink}},  // the shortcut and its target
    };
    for (const auto& c : cases) {
        RecordingForcedView view;
        TForcedUninstall model(catalogue.get(), view);
        ASSERT_TRUE(model.Dropped(c.dropped));
        EXPECT_TRUE(view.rows.empty());
        EXPECT_EQ(view.page, TForcedPage::Tip);
        EXPECT_TRUE(view.nextEnabled);
        const TForcedNext next = model.Next();
        ASSERT_EQ(next.opening.kind, TForcedOpening::WithoutEntry);
        EXPECT_EQ(next.entry, nullptr);

        QuietDialogView dialog;
        std::vector<std::wstring> scanned;
        TUninstallActions actions = RealActions(scratch);
        actions.scan = [&scanned](const TLeftoverScanRequest& request, const std::function<bool()>&) {
            scanned.push_back(request.folder);
            EXPECT_TRUE(request.entries.empty());
            return std::function<void()>();
        };
        TUninstallSession session({}, false, false, dialog, std::move(actions), next.opening);
        session.Shown();
        ASSERT_EQ(session.stage(), usFilesDeleted);
        EXPECT_EQ(StageLook(usFilesDeleted).finishedTitle, L"Files deleted.");
        for (const auto& path : c.gone) EXPECT_FALSE(tarvo::platform::FileExists(path));
        session.ScanClicked();
        EXPECT_EQ(scanned, std::vector<std::wstring>{c.folder});
        EXPECT_EQ(dialog.notices, std::vector<std::wstring>{L"No left items found."});
    }
    EXPECT_TRUE(tarvo::platform::FileExists(kept));
}

TEST(ForcedUninstall, FoldersDriveRootsAndTheWindowsFolderAreRefused) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Foo");
    auto catalogue = Catalogue(scratch, {Program(L"Foo", folder)});
    for (const std::wstring& path : {folder, std::wstring(L"C:\\"), WindowsFolder(), scratch.PathOf(L"none.exe")}) {
        const std::string what(path.begin(), path.end());
        // A refused drop changes nothing at all.
        RecordingForcedView dropView;
        TForcedUninstall dropped(catalogue.get(), dropView);
        EXPECT_FALSE(dropped.Dropped(path)) << what;
        EXPECT_EQ(dropView.calls, 0) << what;
        EXPECT_TRUE(dropped.RawPath().empty()) << what;

        // A refused choice in the file dialog says so and empties the window.
        RecordingForcedView browseView;
        TForcedUninstall browsed(catalogue.get(), browseView);
        ASSERT_TRUE(browsed.Browsed(scratch.MakeFile(L"Foo\\foo.exe", "MZ")));
        ASSERT_EQ(browseView.page, TForcedPage::ListView);
        EXPECT_FALSE(browsed.Browsed(path)) << what;
        EXPECT_EQ(browseView.invalidShown, 1) << what;
        EXPECT_EQ(browseView.pathText, L"") << what;
        EXPECT_EQ(browseView.page, TForcedPage::Tip) << what;
        EXPECT_FALSE(browseView.nextEnabled) << what;
        EXPECT_EQ(browsed.Next().opening.kind, TForcedOpening::None) << what;
    }
    EXPECT_TRUE(tarvo::platform::FolderExists(folder));
}

TEST(ForcedUninstall, TwoRowsKeepNextDisabledUntilOneIsSelected) {
    ScratchFolder scratch;
    const std::wstring exe = scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    auto catalogue = Catalogue(scratch, {Program(L"Foo", scratch.PathOf(L"Foo")),
                                         Program(L"Foo", scratch.PathOf(L"Foo\\"), {}, true)});
    RecordingForcedView view;
    TForcedUninstall model(catalogue.get(), view);
    ASSERT_TRUE(model.Dropped(exe));
    EXPECT_EQ(view.rows, (std::vector<std::wstring>{L"Foo", L"Foo(x64)"}));
    EXPECT_FALSE(view.nextEnabled) << "right after the drop";
    EXPECT_EQ(model.Next().opening.kind, TForcedOpening::None);
    EXPECT_FALSE(model.Started());

    model.RowSelected(1);
    EXPECT_TRUE(view.nextEnabled);
    model.RowSelected(-1);
    EXPECT_FALSE(view.nextEnabled);
    model.RowSelected(7);  // no such row
    EXPECT_FALSE(view.nextEnabled);

    model.RowSelected(1);
    const TForcedNext next = model.Next();
    ASSERT_EQ(next.opening.kind, TForcedOpening::WithEntry);
    ASSERT_NE(next.entry, nullptr);
    EXPECT_TRUE(next.entry->View64);
    EXPECT_EQ(next.opening.rawPath, exe);
}

TEST(ForcedUninstall, AHandedOverNameListsMatchesAndNeverDeletesByName) {
    ScratchFolder scratch;
    const std::wstring exe = scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    auto catalogue = Catalogue(scratch, {Program(L"Foo Editor", scratch.PathOf(L"Foo")),
                                         Program(L"Bar", scratch.PathOf(L"Bar"))});
    RecordingForcedView view;
    TForcedUninstall model(catalogue.get(), view);
    ASSERT_TRUE(model.Dropped(exe));

    model.HandOffName(L"foo ed");
    EXPECT_EQ(view.pathText, L"foo ed");
    EXPECT_EQ(view.rows, std::vector<std::wstring>{L"Foo Editor"});
    EXPECT_TRUE(model.RawPath().empty()) << "the earlier drop must not be deleted for a name";

    // No match: the tip page, "Next" allowed, and nothing named like the text is touched, not
    // even a file of that name in the current folder.
    const std::wstring ghost = scratch.MakeFile(L"Ghost", "x");
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(::SetCurrentDirectoryW(scratch.path().c_str()));
    model.HandOffName(L"Ghost");
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.page, TForcedPage::Tip);
    EXPECT_TRUE(view.nextEnabled);
    const TForcedNext next = model.Next();
    ASSERT_EQ(next.opening.kind, TForcedOpening::WithoutEntry);
    EXPECT_EQ(next.opening.targetPath(), L"");
    QuietDialogView dialog;
    TUninstallSession session({}, false, false, dialog, RealActions(scratch), next.opening);
    session.Shown();
    EXPECT_EQ(session.stage(), usFilesDeleted);
    ::SetCurrentDirectoryW(current);
    EXPECT_TRUE(tarvo::platform::FileExists(ghost));
    EXPECT_TRUE(tarvo::platform::FileExists(exe));
}

TEST(ForcedUninstall, RootedPaths) {
    for (const auto& [path, rooted] : std::initializer_list<std::pair<const wchar_t*, bool>>{
             {L"C:\\Foo", true}, {L"c:/foo", true}, {L"\\\\server\\share", true}, {L"Foo", false},
             {L"C:Foo", false}, {L"\\Foo", false}, {L"", false}})
        EXPECT_EQ(IsRootedPath(path), rooted) << std::string(path, path + wcslen(path));
}
