// The uninstall dialog's stages through its logic class: a recording view stands in for the
// window, fake actions for the world, except where a real uninstaller is the point.
#include <gtest/gtest.h>

#include <chrono>

#include <algorithm>

#include "inventory/inventory.h"
#include "language/language.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/main_ini.h"
#include "settings/text_file.h"
#include "support/scratch_folder.h"
#include "test_programs.h"
#include "uninstall/uninstall_session.h"

using namespace tarvo::uninstall;
using tarvo::inventory::TSoftInfo;
using tarvo::test::ScratchFolder;

namespace {

class RecordingView final : public IUninstallView {
public:
    std::vector<std::wstring> events;
    std::vector<TUninstallStage> stages;
    std::vector<std::wstring> titles;

    void ApplyStage(TUninstallStage stage) override {
        stages.push_back(stage);
        Note(L"stage " + std::to_wstring(stage));
    }
    void SetCreateRestoreTicked(bool ticked) override { Note(ticked ? L"ticked" : L"unticked"); }
    void ShowProgressTitle(const std::wstring& text) override {
        titles.push_back(text);
        Note(L"title " + text);
    }
    void SetBusy(bool busy) override { Note(busy ? L"busy" : L"idle"); }
    void EnableUninstall(bool enabled) override { Note(enabled ? L"uninstall on" : L"uninstall off"); }
    void EnableScan(bool enabled) override { Note(enabled ? L"scan on" : L"scan off"); }
    void StartTimer(unsigned milliseconds) override { Note(L"timer " + std::to_wstring(milliseconds)); }
    void HideDialog() override { Note(L"hide"); }
    void ShowNotice(const std::wstring& text) override { Note(L"notice " + text); }
    void CloseDialog() override { Note(L"close"); }

    [[nodiscard]] bool Saw(const std::wstring& event) const {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

private:
    void Note(std::wstring event) { events.push_back(std::move(event)); }
};

// Fake world: records what the session asks for; hooks let a test act in the middle of a step.
struct World {
    std::vector<std::wstring> uninstalled;
    std::vector<std::vector<std::wstring>> logs;
    std::vector<bool> saved;
    std::vector<std::wstring> deleted;
    std::vector<std::wstring> statistics;
    int restorePoints = 0;
    bool windows2000 = false;
    std::function<void(const TSoftInfo&)> duringUninstall;
    std::function<void()> duringRestorePoint;

    TUninstallActions Actions() {
        TUninstallActions a;
        a.isWindows2000 = [this] { return windows2000; };
        a.createRestorePoint = [this] {
            ++restorePoints;
            if (duringRestorePoint) duringRestorePoint();
        };
        a.uninstallEntry = [this](const TSoftInfo& entry) {
            uninstalled.push_back(entry.DisplayName);
            if (duringUninstall) duringUninstall(entry);
            return entry.DisplayName;
        };
        a.now = [] {
            SYSTEMTIME t{};
            t.wYear = 2013;
            t.wMonth = 5;
            t.wDay = 12;
            t.wHour = 14;
            t.wMinute = 3;
            t.wSecond = 9;
            return t;
        };
        a.writeLog = [this](const std::vector<std::wstring>& lines) { logs.push_back(lines); };
        a.saveCreateRestore = [this](bool on) { saved.push_back(on); };
        a.deleteFileIfPresent = [this](const std::wstring& path) { deleted.push_back(path); };
        a.reportStatistic = [this](const std::wstring& code) { statistics.push_back(code); };
        return a;
    }
};

struct Entries {
    TSoftInfo a, b, c;
    Entries() {
        a.DisplayName = L"Alpha";
        b.DisplayName = L"Bravo";
        c.DisplayName = L"Charlie";
    }
    std::vector<const TSoftInfo*> All() const { return {&a, &b, &c}; }
    std::vector<const TSoftInfo*> First() const { return {&a}; }
};

std::vector<std::wstring> Names(const std::vector<std::wstring>& logLines) {
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < logLines.size(); i += 3) names.push_back(logLines[i]);
    return names;
}

}  // namespace

TEST(UninstallStageLook, EachStageShowsItsPartsAndTexts) {
    using P = DialogPart;
    const TStageLook ask = StageLook(usAsk);
    for (std::size_t i = 0; i < kDialogPartCount; ++i) EXPECT_FALSE(ask.visible[i].has_value());

    const TStageLook restore = StageLook(usRestorePoint);
    EXPECT_EQ(restore.title, L"Create Restore");
    EXPECT_EQ(restore.progressTitle, L"Create restore point before uninstalling.");
    EXPECT_EQ(restore.progressDetail,
              L"Create a restore point here and you can undo the changes if something unexpected happended.");
    EXPECT_EQ(restore.Visible(P::Question), false);
    EXPECT_EQ(restore.Visible(P::CreateRestoreCheck), false);
    EXPECT_EQ(restore.Visible(P::ProgressTitle), true);

    const TStageLook running = StageLook(usUninstalling);
    EXPECT_EQ(running.title, L"Uninstalling");
    EXPECT_EQ(running.progressDetail, L"Built-in uninstall by using the application's uninstaller.");
    EXPECT_EQ(running.Visible(P::ProgressTitle), false);
    EXPECT_EQ(running.Visible(P::ProgressDetail), true);

    const TStageLook deleted = StageLook(usFilesDeleted);
    const TStageLook finished = StageLook(usFinished);
    EXPECT_EQ(deleted.finishedTitle, L"Files deleted.");
    EXPECT_FALSE(finished.finishedTitle.has_value()) << "keeps its caption \"Standard Uninstall finished.\"";
    EXPECT_EQ(deleted.visible, finished.visible);
    for (const P part : {P::ScanButton, P::ScanTitle, P::ScanDetail, P::ScanIcon, P::FinishedIcon, P::FinishedTitle})
        EXPECT_EQ(finished.Visible(part), true);
    for (const P part : {P::UninstallButton, P::ProgressTitle, P::ProgressDetail, P::Question})
        EXPECT_EQ(finished.Visible(part), false);

    const TStageLook scanning = StageLook(usScanning);
    EXPECT_EQ(scanning.Visible(P::ScanningLabel), true);
    EXPECT_EQ(scanning.Visible(P::ScanTitle), false);
    EXPECT_EQ(scanning.Visible(P::FinishedTitle), false);
    EXPECT_FALSE(scanning.Visible(P::ScanButton).has_value());
}

TEST(UninstallStageLook, ProgressTitlesFillTheirPatternsOnce) {
    EXPECT_EQ(SingleProgressTitle(L"Alpha"), L"Uninstall Alpha (1/1)");
    EXPECT_EQ(BatchProgressTitle(L"Bravo", 2, 3), L"Standard Uninstall Bravo (2/3)");
    // A name that looks like a pattern stays as it is.
    EXPECT_EQ(BatchProgressTitle(L"Gain 100%d %s", 1, 2), L"Standard Uninstall Gain 100%d %s (1/2)");
    EXPECT_EQ(FormatMessagePattern(L"%s is 50%% done %d", {L"x"}), L"x is 50% done %d");
}

TEST(UninstallSession, SingleRunWithoutRestorePoint) {
    Entries e;
    World world;
    RecordingView view;
    TUninstallSession session(e.First(), false, false, view, world.Actions());
    session.Shown();
    EXPECT_EQ(session.stage(), usAsk);
    EXPECT_EQ(view.events, std::vector<std::wstring>{L"unticked"});

    session.UninstallClicked();
    EXPECT_EQ(session.stage(), usUninstalling);
    EXPECT_TRUE(session.uninstallStarted());
    EXPECT_EQ(view.events, (std::vector<std::wstring>{L"unticked", L"stage 2", L"uninstall off", L"timer 100"}));
    session.UninstallClicked();  // a second click does nothing
    EXPECT_EQ(view.events.size(), 4u);
    EXPECT_TRUE(world.uninstalled.empty()) << "nothing runs before the timer";

    session.TimerFired();
    session.TimerFired();  // the timer runs once
    EXPECT_EQ(world.uninstalled, std::vector<std::wstring>{L"Alpha"});
    EXPECT_EQ(world.restorePoints, 0);
    EXPECT_EQ(view.titles, std::vector<std::wstring>{L"Uninstall Alpha (1/1)"});
    ASSERT_EQ(world.logs.size(), 1u);
    ASSERT_EQ(world.logs[0].size(), 3u);
    EXPECT_EQ(world.logs[0][0], L"[Alpha]");
    EXPECT_EQ(world.logs[0][1].rfind(L"Date:", 0), 0u);
    EXPECT_EQ(world.logs[0][2], L"");
    EXPECT_EQ(session.stage(), usFinished);
    EXPECT_EQ(view.stages, (std::vector<TUninstallStage>{usUninstalling, usFinished}));
    EXPECT_FALSE(session.closed());
    EXPECT_TRUE(session.workDone());
}

TEST(UninstallSession, RestorePointComesFirstExceptOnWindows2000) {
    for (const bool windows2000 : {false, true}) {
        Entries e;
        World world;
        world.windows2000 = windows2000;
        RecordingView view;
        TUninstallSession session(e.First(), false, true, view, world.Actions());
        session.Shown();
        EXPECT_TRUE(view.Saw(L"ticked"));
        session.UninstallClicked();
        EXPECT_EQ(session.stage(), usRestorePoint);
        session.TimerFired();
        EXPECT_EQ(world.restorePoints, windows2000 ? 0 : 1);
        EXPECT_EQ(view.stages, (std::vector<TUninstallStage>{usRestorePoint, usUninstalling, usFinished}));
        EXPECT_EQ(world.uninstalled.size(), 1u);
    }
}

TEST(UninstallSession, CheckBoxTogglesAndSavesAtOnceOnlyWhileAsking) {
    Entries e;
    World world;
    RecordingView view;
    TUninstallSession session(e.First(), false, false, view, world.Actions());
    session.Shown();
    session.ToggleCreateRestore();
    session.ToggleCreateRestore();
    session.ToggleCreateRestore();
    EXPECT_EQ(world.saved, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(session.createRestore());
    session.UninstallClicked();
    EXPECT_EQ(session.stage(), usRestorePoint);
    session.ToggleCreateRestore();
    EXPECT_EQ(world.saved.size(), 3u);
}

TEST(UninstallSession, CancelInEveryStage) {
    Entries e;
    // Ask: closes at once, nothing ran, nothing to refresh.
    {
        World world;
        RecordingView view;
        TUninstallSession session(e.First(), false, false, view, world.Actions());
        session.Shown();
        session.CancelClicked();
        EXPECT_TRUE(session.closed());
        EXPECT_FALSE(session.workDone());
        EXPECT_TRUE(world.logs.empty());
        session.UninstallClicked();
        EXPECT_FALSE(session.uninstallStarted()) << "a closed dialog takes no more clicks";
    }
    // Restore point: the request finishes, nothing is uninstalled or logged, then it closes.
    {
        World world;
        RecordingView view;
        TUninstallSession session(e.First(), false, true, view, world.Actions());
        world.duringRestorePoint = [&] {
            session.CancelClicked();
            EXPECT_FALSE(session.closed()) << "the running step finishes first";
        };
        session.Shown();
        session.UninstallClicked();
        session.TimerFired();
        EXPECT_EQ(world.restorePoints, 1);
        EXPECT_TRUE(world.uninstalled.empty());
        EXPECT_TRUE(world.logs.empty());
        EXPECT_TRUE(session.closed());
        EXPECT_TRUE(session.workDone());
        EXPECT_NE(session.stage(), usFinished);
    }
    // Between the click and the timer: the timer only closes.
    {
        World world;
        RecordingView view;
        TUninstallSession session(e.First(), false, false, view, world.Actions());
        session.Shown();
        session.UninstallClicked();
        session.CancelClicked();
        EXPECT_FALSE(session.closed());
        session.TimerFired();
        EXPECT_TRUE(world.uninstalled.empty());
        EXPECT_TRUE(session.closed());
    }
    // Uninstalling: the uninstaller finishes and is logged, then the dialog closes.
    {
        World world;
        RecordingView view;
        TUninstallSession session(e.First(), false, false, view, world.Actions());
        world.duringUninstall = [&](const TSoftInfo&) { session.CancelClicked(); };
        session.Shown();
        session.UninstallClicked();
        session.TimerFired();
        ASSERT_EQ(world.logs.size(), 1u);
        EXPECT_EQ(Names(world.logs[0]), std::vector<std::wstring>{L"[Alpha]"});
        EXPECT_TRUE(session.closed());
        EXPECT_TRUE(session.workDone());
        EXPECT_EQ(view.events.back(), L"close");
    }
    // Finished: closes at once and asks for a refresh.
    {
        World world;
        RecordingView view;
        TUninstallSession session(e.First(), false, false, view, world.Actions());
        session.Shown();
        session.UninstallClicked();
        session.TimerFired();
        session.CancelClicked();
        EXPECT_TRUE(session.closed());
        EXPECT_TRUE(session.workDone());
    }
    // Files deleted (the forced start without entry): closes, nothing to refresh.
    {
        World world;
        RecordingView view;
        TForcedOpening forced;
        forced.kind = TForcedOpening::WithoutEntry;
        forced.rawPath = L"C:\\Users\\me\\Desktop\\Gone.lnk";
        forced.targetPath = [] { return std::wstring(L"C:\\Program Files\\Gone\\gone.exe"); };
        TUninstallSession session({}, false, false, view, world.Actions(), forced);
        session.Shown();
        EXPECT_EQ(session.stage(), usFilesDeleted);
        EXPECT_EQ(world.deleted, (std::vector<std::wstring>{L"C:\\Users\\me\\Desktop\\Gone.lnk",
                                                           L"C:\\Program Files\\Gone\\gone.exe"}));
        session.CancelClicked();
        EXPECT_TRUE(session.closed());
        EXPECT_FALSE(session.workDone());
    }
    // Scanning: the scan finishes, its findings are not shown, and the dialog closes.
    {
        World world;
        RecordingView view;
        bool shown = false;
        TUninstallActions actions = world.Actions();
        TUninstallSession* current = nullptr;
        actions.scan = [&](const TLeftoverScanRequest&, const std::function<bool()>& cancelled) {
            current->CancelClicked();
            EXPECT_TRUE(cancelled());
            EXPECT_FALSE(current->closed());
            return std::function<void()>([&shown] { shown = true; });
        };
        TUninstallSession session(e.First(), false, false, view, actions);
        current = &session;
        session.Shown();
        session.UninstallClicked();
        session.TimerFired();
        session.ScanClicked();
        EXPECT_FALSE(shown);
        EXPECT_FALSE(view.Saw(L"notice No left items found."));
        EXPECT_TRUE(session.closed());
    }
}

TEST(UninstallSession, BatchTitlesCountTheCheckedEntries) {
    Entries e;
    World world;
    RecordingView view;
    TUninstallSession session(e.All(), true, false, view, world.Actions());
    session.Shown();
    session.UninstallClicked();
    session.TimerFired();
    EXPECT_EQ(view.titles, (std::vector<std::wstring>{L"Standard Uninstall Alpha (1/3)", L"Standard Uninstall Bravo (2/3)",
                                                      L"Standard Uninstall Charlie (3/3)"}));
    ASSERT_EQ(world.logs.size(), 1u) << "one log call for the whole run";
    EXPECT_EQ(world.logs[0].size(), 9u);
    EXPECT_EQ(Names(world.logs[0]), (std::vector<std::wstring>{L"[Alpha]", L"[Bravo]", L"[Charlie]"}));
    EXPECT_EQ(session.stage(), usFinished);
}

TEST(UninstallSession, CancelDuringTheSecondOfThreeLetsItFinishAndSkipsTheThird) {
    Entries e;
    World world;
    RecordingView view;
    TUninstallSession session(e.All(), true, false, view, world.Actions());
    world.duringUninstall = [&](const TSoftInfo& entry) {
        if (entry.DisplayName == L"Bravo") session.CancelClicked();
    };
    session.Shown();
    session.UninstallClicked();
    session.TimerFired();
    EXPECT_EQ(world.uninstalled, (std::vector<std::wstring>{L"Alpha", L"Bravo"}));
    EXPECT_EQ(view.titles.size(), 2u);
    ASSERT_EQ(world.logs.size(), 1u);
    EXPECT_EQ(Names(world.logs[0]), (std::vector<std::wstring>{L"[Alpha]", L"[Bravo]"}));
    EXPECT_TRUE(session.closed());
    EXPECT_TRUE(session.workDone());
}

TEST(UninstallSession, SingleTitleOutsideBatchModeAndForTheForcedEntry) {
    Entries e;
    const struct {
        bool batchMode;
        TForcedOpening::Kind forced;
        const wchar_t* title;
    } cases[] = {
        {false, TForcedOpening::None, L"Uninstall Alpha (1/1)"},
        {true, TForcedOpening::None, L"Standard Uninstall Alpha (1/1)"},
        {true, TForcedOpening::WithEntry, L"Uninstall Alpha (1/1)"},
    };
    for (const auto& c : cases) {
        World world;
        RecordingView view;
        TForcedOpening forced;
        forced.kind = c.forced;
        TUninstallSession session(e.First(), c.batchMode, false, view, world.Actions(), forced);
        session.Shown();
        EXPECT_EQ(session.stage(), usAsk);
        session.UninstallClicked();
        session.TimerFired();
        EXPECT_EQ(view.titles, std::vector<std::wstring>{c.title});
        EXPECT_TRUE(world.deleted.empty()) << "only the files-deleted stage removes the forced paths";
    }
}

TEST(UninstallSession, ScanWithoutFindingsSaysSoAndScanWithFindingsShowsThem) {
    Entries e;
    // No scan plugged in: the empty result.
    {
        World world;
        RecordingView view;
        TUninstallSession session(e.All(), true, false, view, world.Actions());
        session.Shown();
        session.UninstallClicked();
        session.TimerFired();
        view.events.clear();
        session.ScanClicked();
        EXPECT_EQ(view.events, (std::vector<std::wstring>{L"scan off", L"stage 5", L"busy", L"idle", L"hide",
                                                          L"notice No left items found.", L"close"}));
        EXPECT_EQ(world.statistics, std::vector<std::wstring>{L"13"});
        EXPECT_TRUE(session.workDone());
    }
    // A scan that finds something: shown, no notice; the request names the checked entries.
    {
        World world;
        RecordingView view;
        TLeftoverScanRequest seen;
        int shown = 0;
        TUninstallActions actions = world.Actions();
        actions.scan = [&](const TLeftoverScanRequest& request, const std::function<bool()>& cancelled) {
            seen = request;
            EXPECT_FALSE(cancelled());
            return std::function<void()>([&shown] { ++shown; });
        };
        TUninstallSession session(e.All(), true, false, view, actions);
        session.Shown();
        session.UninstallClicked();
        session.TimerFired();
        session.ScanClicked();
        EXPECT_EQ(shown, 1);
        EXPECT_TRUE(seen.batch);
        EXPECT_EQ(seen.entries, e.All());
        // The results window's removal reports through the same statistics library.
        ASSERT_TRUE(seen.reportStatistic);
        seen.reportStatistic(L"14");
        EXPECT_EQ(world.statistics, (std::vector<std::wstring>{L"13", L"14"}));
        EXPECT_FALSE(view.Saw(L"notice No left items found."));
        EXPECT_TRUE(session.closed());
    }
    // The forced start without entry scans a bare folder.
    {
        World world;
        RecordingView view;
        ScratchFolder scratch;
        const std::wstring exe = scratch.MakeFile(L"Gone\\gone.exe", "MZ");
        TForcedOpening forced;
        forced.kind = TForcedOpening::WithoutEntry;
        forced.targetPath = [&exe] { return exe; };
        TLeftoverScanRequest seen;
        TUninstallActions actions = world.Actions();
        actions.scan = [&](const TLeftoverScanRequest& request, const std::function<bool()>&) {
            seen = request;
            return std::function<void()>();
        };
        TUninstallSession session({}, false, false, view, actions, forced);
        session.Shown();
        session.ScanClicked();
        EXPECT_TRUE(seen.entries.empty());
        EXPECT_EQ(seen.folder, scratch.PathOf(L"Gone\\"));
        EXPECT_EQ(ScanFolderOf(scratch.PathOf(L"Gone")), scratch.PathOf(L"Gone\\"));
        EXPECT_TRUE(view.Saw(L"notice No left items found."));
    }
}

TEST(UninstallSession, UnstartableCommandIsLoggedSilentlyAndFinishes) {
    ScratchFolder scratch;
    LogContext log{scratch.path(), L"3.0", L"Windows 7", {}};
    tarvo::settings::TMainIni ini(scratch.PathOf(L"Main.ini"));
    TSoftInfo entry;
    entry.DisplayName = L"Missing Uninstaller";
    entry.UninstallString = L"\"C:\\no such folder\\uninst.exe\"";
    RecordingView view;
    TUninstallSession session({&entry}, false, false, view, DefaultUninstallActions(log, ini));
    session.Shown();
    session.ToggleCreateRestore();
    EXPECT_TRUE(ini.CreateRestore()) << "the check box is stored in Main.ini at once";
    session.ToggleCreateRestore();
    EXPECT_FALSE(ini.CreateRestore());
    session.UninstallClicked();
    session.TimerFired();
    EXPECT_EQ(session.stage(), usFinished);
    for (const auto& event : view.events) EXPECT_EQ(event.rfind(L"notice", 0), std::wstring::npos) << event;
    const auto text = tarvo::settings::ReadTextFile(log.folder + L"\\" + DayLogFileName(tarvo::platform::LocalTimeNow()));
    ASSERT_TRUE(text);
    EXPECT_NE(text->find(L"[Missing Uninstaller]\r\n" + tarvo::language::GetText(L"Date_M", L"Date") + L":"),
              std::wstring::npos);
}

// A real NSIS uninstaller: it copies itself to the temporary folder, starts the copy and
// exits; the copy waits three seconds before it removes anything.
TEST(UninstallSession, RealNsisUninstallerIsWaitedForUntilItsCopyEnds) {
    const std::wstring name = L"Tarvo Slowpoke Session";
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
    const auto setup = tarvo::platform::CreateProcessOf(tarvo::test::Quote(tarvo::test::BesideTests(L"slowpoke_session_setup.exe")) + L" /S");
    ASSERT_TRUE(setup);
    ASSERT_EQ(tarvo::platform::WaitForExitCode(setup->process.get(), 60000), 0u);

    tarvo::inventory::TSoftList list;
    tarvo::inventory::Inventory(list);
    const TSoftInfo* entry = nullptr;
    for (const auto& item : list)
        if (item->DisplayName == name && !item->Hidden) entry = item.get();
    ASSERT_NE(entry, nullptr);
    const std::wstring folder = entry->InstallLocation;
    ASSERT_TRUE(tarvo::platform::FileExists(folder + L"\\uninstall.exe"));

    ScratchFolder scratch;
    LogContext log{scratch.path(), L"3.0", L"Windows 7", {}};
    tarvo::settings::TMainIni ini(scratch.PathOf(L"Main.ini"));
    RecordingView view;
    TUninstallSession session({entry}, false, false, view, DefaultUninstallActions(log, ini));
    session.Shown();
    session.UninstallClicked();
    const auto start = std::chrono::steady_clock::now();
    session.TimerFired();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_GE(elapsed, std::chrono::milliseconds(1000 + 3000)) << "the wait ended with the first process";
    EXPECT_FALSE(tarvo::platform::FolderExists(folder)) << "the copy had not finished";
    EXPECT_FALSE(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, key, tarvo::platform::RegistryView::Default));
    EXPECT_EQ(session.stage(), usFinished);
    const auto text = tarvo::settings::ReadTextFile(log.folder + L"\\" + DayLogFileName(tarvo::platform::LocalTimeNow()));
    ASSERT_TRUE(text);
    EXPECT_NE(text->find(L"\r\n[" + name + L"]\r\nDate:"), std::wstring::npos) << *text;
}

// A quiet batch: the box is offered only for a batch; ticked, each entry runs by its quiet
// command where it has one, the others are named before anything runs, every entry is noted
// before its own uninstaller starts, and the batch is struck off when the dialog ends.
TEST(UninstallSession, QuietBatchRunsQuietCommandsAndKeepsTheJournalInStep) {
    Entries entries;
    World world;
    std::vector<std::wstring> journal, ran;
    TUninstallActions actions = world.Actions();
    actions.quietCommand = [](const TSoftInfo& entry) {
        return entry.DisplayName == L"Bravo" ? std::wstring() : entry.DisplayName + L" /S";
    };
    actions.uninstallEntry = [&](const TSoftInfo& entry) {
        ran.push_back(entry.UninstallString);
        journal.push_back(L"ran " + entry.DisplayName);
        return entry.DisplayName;
    };
    std::vector<bool> savedQuiet;
    actions.saveQuietBatch = [&](bool on) { savedQuiet.push_back(on); };
    actions.noteForScan = [&](const TSoftInfo& entry) { journal.push_back(L"noted " + entry.DisplayName); };
    actions.strikeOff = [&](const std::vector<const TSoftInfo*>& struck) {
        journal.push_back(L"struck " + std::to_wstring(struck.size()));
    };

    RecordingView single;
    TUninstallSession one(entries.First(), false, false, single, actions);
    EXPECT_FALSE(one.QuietOffered());
    one.ToggleQuiet();
    EXPECT_FALSE(one.quiet());

    struct QuietView final : IUninstallView {
        std::wstring warning;
        void ApplyStage(TUninstallStage) override {}
        void SetCreateRestoreTicked(bool) override {}
        void ShowProgressTitle(const std::wstring&) override {}
        void SetBusy(bool) override {}
        void EnableUninstall(bool) override {}
        void EnableScan(bool) override {}
        void StartTimer(unsigned) override {}
        void HideDialog() override {}
        void ShowNotice(const std::wstring&) override {}
        void CloseDialog() override {}
        void ShowQuietWarning(const std::wstring& text) override { warning = text; }
    } view;
    TUninstallSession batch(entries.All(), true, false, view, actions);
    ASSERT_TRUE(batch.QuietOffered());
    EXPECT_FALSE(batch.quiet());  // off unless stored on
    batch.ToggleQuiet();
    EXPECT_EQ(savedQuiet, std::vector<bool>{true});
    batch.UninstallClicked();
    EXPECT_NE(view.warning.find(L"\r\nBravo"), std::wstring::npos);
    EXPECT_EQ(view.warning.find(L"Alpha"), std::wstring::npos);
    batch.TimerFired();
    EXPECT_EQ(ran, (std::vector<std::wstring>{L"Alpha /S", L"", L"Charlie /S"}));
    batch.CancelClicked();
    EXPECT_EQ(journal, (std::vector<std::wstring>{L"noted Alpha", L"ran Alpha", L"noted Bravo", L"ran Bravo",
                                                  L"noted Charlie", L"ran Charlie", L"struck 3"}));
}
