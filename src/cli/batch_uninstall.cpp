#include "cli/batch_uninstall.h"

#include "cli/removal_verbs.h"
#include "cli/uninstall_verb.h"
#include "common/text.h"
#include "inventory/installer_records.h"
#include "inventory/program_places.h"
#include "inventory/quiet_uninstall.h"
#include "leftovers/scan_driver.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "uninstall/log_lines.h"
#include "uninstall/operation_log.h"
#include "uninstall/run_and_wait.h"
#include "uninstall/scan_journal.h"
#include "uninstall/uninstall_entry.h"

namespace tarvo::cli {

namespace {

struct ProgramRun {
    const inventory::TSoftInfo* entry = nullptr;
    inventory::TSoftInfo before;  // as read before its uninstaller ran: what the scan needs
    inventory::QuietCommand quiet;
    uninstall::EntryOutcome outcome;
    uninstall::RunResult run;
    bool entryRemains = false;  // the uninstaller ended, but its entry is still there
    int found = 0;
};

std::wstring RunState(const ProgramRun& program) {
    if (program.outcome.action == uninstall::EntryAction::NotStarted)
        return L"not started (error " + std::to_wstring(program.run.startError) + L")";
    if (program.outcome.action == uninstall::EntryAction::Ran && program.run.end == uninstall::WaitEnd::QueryFailures)
        return L"uninstaller lost track of";
    // An uninstaller that ended without removing anything (cancelled, failed, or waiting for
    // answers nobody gave) is not reported as a removal.
    if (program.entryRemains) return L"its uninstaller ended, but the program is still listed";
    return program.quiet.Quiet() ? L"uninstalled quietly" : L"uninstalled";
}

// Scans the entries as one batch and prints the tree; the counts per entry come back in order.
std::vector<int> ScanBatch(const std::vector<const inventory::TSoftInfo*>& entries,
                           const std::vector<inventory::TProgramPlace>& catalogue, const ScanReport& how,
                           CliOutput& out, int& code) {
    leftovers::TResultTree tree;
    leftovers::TIconList images;
    std::vector<leftovers::TScanRefusal> refusals;
    leftovers::ScanOptions options;
    options.refusals = &refusals;
    options.catalogue = &catalogue;
    const std::vector<int> counts = leftovers::ScanLeftoversBatch(entries, tree, images, options);
    const int total = leftovers::FindingCount(tree);
    if (how.json)
        out.OutUtf8(ScanFindingsJson(tree));
    else
        out.Out(total > 0 ? ScanTreeText(tree) : std::wstring(L"No left items found.\r\n"));
    if (how.remove && !how.json)
        for (const auto& refusal : refusals) out.Out(L"Left alone: " + refusal.item + L" (" + refusal.reason + L")\r\n");
    code = total > 0 && how.remove ? DeleteFindings(tree, how.shred, out) : kExitOk;
    return counts;
}

}  // namespace

int RunBatchUninstall(const BatchRequest& request, CliOutput& out) {
    inventory::TSoftList list;
    inventory::Inventory(list);
    std::vector<ProgramRun> programs;
    for (const std::wstring& target : request.targets) {
        const inventory::TSoftInfo* entry = FindUninstallTarget(list, target);
        if (!entry) {
            out.Err(L"tarvo: no installed program is named \"" + target + L"\"\r\n");
            return kExitNotFound;
        }
        programs.push_back({entry, *entry, {}, {}, {}, false, 0});
    }
    if (!request.yes) {
        std::wstring names;
        for (const auto& program : programs) names += (names.empty() ? L"" : L", ") + program.entry->DisplayName;
        out.Out(L"Uninstall " + names + L"? [y/N] ");
        const auto answer = out.ReadLine();
        if (!answer || (*answer != L"y" && *answer != L"Y" && *answer != L"yes")) {
            out.Err(L"tarvo: not uninstalled\r\n");
            return kExitFailure;
        }
    }

    std::vector<inventory::TProgramPlace> catalogue;
    if (request.scan) catalogue = inventory::CataloguePlaces(list, true);
    for (auto& program : programs) {
        if (request.scan && common::Trim(program.before.InstallLocation).empty())
            program.before.InstallLocation = inventory::CompletedInstallFolder(program.before);
        if (request.quiet) program.quiet = inventory::QuietCommandForEntry(*program.entry);
    }
    // Said before anything runs, so whoever started the batch knows it will need them.
    if (request.quiet)
        for (const auto& program : programs)
            if (!program.quiet.Quiet())
                out.Out(L"Asks its own questions: " + program.entry->DisplayName +
                        (program.quiet.source == inventory::QuietSource::InstallShield
                             ? L" (its silent mode needs a recorded answer file)\r\n"
                             : L"\r\n"));

    const uninstall::TScanJournal journal(uninstall::TScanJournal::DefaultPath());
    const auto logContext = uninstall::MakeLogContext(settings::DataFolder());
    int code = kExitOk;
    for (auto& program : programs) {
        if (request.scan && !journal.Add(program.before))
            out.Err(L"tarvo: could not note " + program.entry->DisplayName + L" for its scan\r\n");
        out.Out(L"Uninstalling " + program.entry->DisplayName + L"\r\n");
        inventory::TSoftInfo toRun = *program.entry;
        if (program.quiet.Quiet()) toRun.UninstallString = program.quiet.command;
        const auto runner = [&program](const std::wstring& command) {
            program.run = uninstall::RunAndWaitDetailed(command);
            return program.run.code;
        };
        program.outcome = uninstall::UninstallEntryWith(toRun, runner, [] {});
        if (program.outcome.action == uninstall::EntryAction::Ran) {
            const auto key = platform::RegistryLocation::FromNames(program.before.RootKeyName, program.before.KeyPath,
                                                                   program.before.View64);
            program.entryRemains =
                key.root && !key.path.empty() && platform::RegKeyExists(key.root, key.path, key.view);
        }
        (void)uninstall::WriteUninstallLog(logContext,
                                           uninstall::UninstallLogLines(program.outcome.name, platform::LocalTimeNow()));
        if (program.outcome.action == uninstall::EntryAction::NotStarted)
            code = kExitNotStarted;
        else if (program.outcome.action == uninstall::EntryAction::Ran &&
                 program.run.end == uninstall::WaitEnd::QueryFailures && code == kExitOk)
            code = kExitFailure;
    }

    int scanCode = kExitOk;
    if (request.scan) {
        std::vector<const inventory::TSoftInfo*> scanned;
        for (const auto& program : programs) scanned.push_back(&program.before);
        const std::vector<int> counts = ScanBatch(scanned, catalogue, request.how, out, scanCode);
        for (std::size_t i = 0; i < programs.size() && i < counts.size(); ++i) programs[i].found = counts[i];
        (void)journal.Remove(scanned);
    }
    for (const auto& program : programs) {
        std::wstring line = program.outcome.name + L": " + RunState(program);
        if (request.scan)
            line += L", " + std::to_wstring(program.found) + L" leftover(s) found" +
                    (request.how.remove && program.found > 0 && scanCode == kExitOk ? L" and removed" : L"");
        out.Out(line + L"\r\n");
    }
    return code != kExitOk ? code : scanCode;
}

int ScanPending(const ScanReport& how, CliOutput& out) {
    const uninstall::TScanJournal journal(uninstall::TScanJournal::DefaultPath());
    const std::vector<inventory::TSoftInfo> pending = journal.Pending();
    if (pending.empty()) {
        out.Out(L"No program waits for its scan.\r\n");
        return kExitOk;
    }
    inventory::TSoftList list;
    inventory::Inventory(list);
    const std::vector<inventory::TProgramPlace> catalogue = inventory::CataloguePlaces(list, true);
    std::vector<const inventory::TSoftInfo*> entries;
    for (const auto& entry : pending) entries.push_back(&entry);
    int code = kExitOk;
    const std::vector<int> counts = ScanBatch(entries, catalogue, how, out, code);
    (void)journal.Remove(entries);
    for (std::size_t i = 0; i < pending.size() && i < counts.size(); ++i)
        out.Out(pending[i].DisplayName + L": " + std::to_wstring(counts[i]) + L" leftover(s) found" +
                (how.remove && counts[i] > 0 && code == kExitOk ? L" and removed\r\n" : L"\r\n"));
    return code;
}

}  // namespace tarvo::cli
