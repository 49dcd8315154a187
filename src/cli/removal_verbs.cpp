#include "cli/removal_verbs.h"

#include "leftovers/removal.h"
#include "leftovers/tick_tree.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/app_frame.h"

namespace tarvo::cli {

namespace {

class QuietProgress final : public leftovers::IRemovalProgress {
public:
    void SetProgress(int) override {}
    void ShowCurrentItem(const std::wstring&) override {}
    void Pump() override {}
};

}  // namespace

int DeleteFindings(leftovers::TResultTree& tree, bool shred, CliOutput& out) {
    leftovers::TTickTree(tree).SetAll(leftovers::kStateTicked);
    return DeleteTickedFindings(tree, shred, out);
}

int DeleteTickedFindings(leftovers::TResultTree& tree, bool shred, CliOutput& out) {
    const std::wstring dataFolder = settings::DataFolder();
    leftovers::TLeftoverRemoval removal(tree, leftovers::DefaultRemovalActions(uninstall::MakeLogContext(dataFolder)));
    leftovers::TRemovalBackup backup(leftovers::BackupRootOf(dataFolder), platform::LocalTimeNow());
    leftovers::TRemovalRun run;
    run.shred = shred;
    run.backup = &backup;
    QuietProgress progress;
    const leftovers::TRemovalOutcome outcome = removal.RemoveTicked(run, progress);
    for (const auto& line : outcome.logLines)
        if (line.rfind(L"Left alone", 0) == 0 || line.rfind(L"Could not", 0) == 0) out.Out(line + L"\r\n");
    out.Out(L"\r\nRemoved " + std::to_wstring(outcome.removed) + L", waiting for restart " +
            std::to_wstring(outcome.scheduled) + L", left alone " + std::to_wstring(outcome.skipped) +
            L", failed " + std::to_wstring(outcome.failed) + L"\r\n");
    if (!backup.Folder().empty()) out.Out(L"Backup: " + backup.Folder() + L"\r\n");
    if (outcome.skipped > 0 || outcome.failed > 0) return kExitFailure;
    return outcome.scheduled > 0 ? kExitScheduled : kExitOk;
}

int RunRestoreVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (args.size() != 1 || args[0].empty()) return kExitUsage;
    std::wstring folder = args[0];
    if (folder.find(L'\\') == std::wstring::npos && folder.find(L'/') == std::wstring::npos)
        folder = leftovers::BackupRootOf(settings::DataFolder()) + L"\\" + folder;
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    const leftovers::TRestoreReport report = leftovers::RestoreBackup(folder);
    if (!report.manifestRead) {
        out.Err(L"tarvo restore: no removal backup in \"" + folder + L"\"\r\n");
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

}  // namespace tarvo::cli
