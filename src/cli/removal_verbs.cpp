#include "cli/removal_verbs.h"

#include "language/language.h"
#include "leftovers/removal.h"
#include "trace/traced_scan.h"
#include "leftovers/removal_journal.h"
#include "leftovers/unfinished_removal.h"
#include "leftovers/tick_tree.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "uninstall/uninstall_stage.h"

namespace tarvo::cli {

namespace {

class QuietProgress final : public leftovers::IRemovalProgress {
public:
    void SetProgress(int) override {}
    void ShowCurrentItem(const std::wstring&) override {}
    void Pump() override {}
};

}  // namespace

int DeleteFindings(leftovers::TResultTree& tree, bool shred, CliOutput& out,
                   const std::vector<trace::TraceItem>* traced) {
    leftovers::TTickTree(tree).SetAll(leftovers::kStateTicked);
    return DeleteTickedFindings(tree, shred, out, traced);
}

int DeleteTickedFindings(leftovers::TResultTree& tree, bool shred, CliOutput& out,
                         const std::vector<trace::TraceItem>* traced) {
    const std::wstring dataFolder = settings::DataFolder();
    const leftovers::TRemovalActions actions = leftovers::DefaultRemovalActions(uninstall::MakeLogContext(dataFolder));
    leftovers::TLeftoverRemoval removal(tree, actions);
    leftovers::TRemovalBackup backup(leftovers::BackupRootOf(dataFolder), platform::LocalTimeNow());
    trace::PutBackOutcome putBack;
    if (traced) {
        putBack = trace::PutBackBeforeRemoval(*traced, &backup);
        for (const auto& line : putBack.lines) out.Out(line + L"\r\n");
        if (actions.writeLog && !putBack.lines.empty()) actions.writeLog(putBack.lines);
    }
    leftovers::TRemovalRun run;
    run.shred = shred;
    run.backup = &backup;
    QuietProgress progress;
    const leftovers::TRemovalOutcome outcome = removal.RemoveTicked(run, progress);
    if (traced) trace::AnnounceEnvironmentChange(*traced);
    for (const auto& line : outcome.logLines)
        if (line.rfind(L"Left alone", 0) == 0 || line.rfind(L"Could not", 0) == 0) out.Out(line + L"\r\n");
    out.Out(L"\r\nRemoved " + std::to_wstring(outcome.removed) + L", waiting for restart " +
            std::to_wstring(outcome.scheduled) + L", left alone " + std::to_wstring(outcome.skipped) +
            L", failed " + std::to_wstring(outcome.failed) + L"\r\n");
    if (!backup.Folder().empty()) out.Out(L"Backup: " + backup.Folder() + L"\r\n");
    if (outcome.skipped > 0 || outcome.failed > 0 || putBack.failed > 0) return kExitFailure;
    return outcome.scheduled > 0 ? kExitScheduled : kExitOk;
}

namespace {

std::wstring BackupFolderOf(std::wstring folder) {
    if (folder.find(L'\\') == std::wstring::npos && folder.find(L'/') == std::wstring::npos)
        folder = leftovers::BackupRootOf(settings::DataFolder()) + L"\\" + folder;
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return folder;
}

}  // namespace

int RunRestoreVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (args.size() != 1 || args[0].empty()) return kExitUsage;
    const std::wstring folder = BackupFolderOf(args[0]);
    const bool unfinished = leftovers::IsUnfinishedRemoval(folder);
    const leftovers::TRestoreReport report = leftovers::RestoreBackup(folder);
    if (report.manifestRead && unfinished) leftovers::SettleUnfinished(folder);
    if (!report.manifestRead) {
        out.Err(L"tarvo restore: " +
                uninstall::FormatMessagePattern(
                    language::GetText(L"Cli_NoBackup_M", L"no removal backup in \"%s\""), {folder}) +
                L"\r\n");
        return kExitFailure;
    }
    for (const auto& kept : report.leftAlone)
        out.Out(L"Left alone, something is back in its place: " + kept + L"\r\n");
    for (const auto& problem : report.problems) out.Err(L"tarvo restore: " + problem + L"\r\n");
    out.Out(L"Restored " + std::to_wstring(report.filesRestored) + L" files, " +
            std::to_wstring(report.foldersRestored) + L" folders, " + std::to_wstring(report.registryValues) +
            L" registry values\r\n");
    return report.problems.empty() ? kExitOk : kExitFailure;
}

int RunUnfinishedVerb(std::span<const std::wstring> args, CliOutput& out) {
    bool finish = false, undo = false;
    std::wstring only;
    for (const auto& arg : args) {
        if (arg == L"--finish") finish = true;
        else if (arg == L"--undo") undo = true;
        else if (only.empty() && !arg.empty() && arg[0] != L'-') only = BackupFolderOf(arg);
        else return kExitUsage;
    }
    if (finish && undo) return kExitUsage;
    const std::wstring dataFolder = settings::DataFolder();
    const std::wstring root = leftovers::BackupRootOf(dataFolder);
    std::vector<std::wstring> folders;
    if (!only.empty()) {
        if (!leftovers::IsUnfinishedRemoval(only)) {
            out.Err(L"tarvo unfinished: no unfinished removal in \"" + only + L"\"\r\n");
            return kExitFailure;
        }
        folders.push_back(only);
    } else {
        folders = leftovers::FindUnfinishedRemovals(root);
    }
    if (!finish && !undo) {
        for (const auto& folder : folders) out.Out(folder + L"\r\n");
        if (folders.empty()) out.Out(L"No unfinished removal\r\n");
        return folders.empty() ? kExitOk : kExitFailure;
    }
    bool clean = true;
    for (const auto& folder : folders) {
        if (undo) {
            const auto outcome = leftovers::UndoUnfinishedRemoval(folder);
            for (const auto& problem : outcome.restore.problems) out.Err(L"tarvo unfinished: " + problem + L"\r\n");
            out.Out(L"Undone " + folder + L": " + std::to_wstring(outcome.restore.filesRestored) + L" files, " +
                    std::to_wstring(outcome.restore.foldersRestored) + L" folders, " +
                    std::to_wstring(outcome.restore.registryValues) + L" registry values back\r\n");
            clean = clean && outcome.restore.manifestRead && outcome.restore.problems.empty();
        } else {
            const auto outcome = leftovers::FinishUnfinishedRemoval(
                folder, leftovers::DefaultRemovalActions(uninstall::MakeLogContext(dataFolder)), root,
                platform::LocalTimeNow());
            out.Out(L"Finished " + folder + L": removed " + std::to_wstring(outcome.removal.removed) +
                    L", waiting for restart " + std::to_wstring(outcome.removal.scheduled) + L", left alone " +
                    std::to_wstring(outcome.removal.skipped) + L", failed " + std::to_wstring(outcome.removal.failed) +
                    L"\r\n");
            if (!outcome.newBackup.empty()) out.Out(L"Backup: " + outcome.newBackup + L"\r\n");
            clean = clean && outcome.removal.skipped == 0 && outcome.removal.failed == 0;
        }
    }
    return clean ? kExitOk : kExitFailure;
}

}  // namespace tarvo::cli
