#include "cli/batch_uninstall.h"
#include "cli/trace_verbs.h"

#include <algorithm>

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
    bool entryRemains = false;  // its entry is still listed after its turn: not scanned
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
    const trace::TracedScan traced = AddTracedScan(entries, tree);
    const int total = PrintScan(tree, refusals, how, out);
    code = (total > 0 || traced.changedValues) && how.remove ? DeleteFindings(tree, how.shred, out, traced.PutBackItems())
                                                             : kExitOk;
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
        // Named twice (by name and by key, say): its uninstaller runs once.
        if (std::none_of(programs.begin(), programs.end(), [entry](const ProgramRun& p) { return p.entry == entry; }))
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
                             ? L" (its setup.exe is not started to remove)\r\n"
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
        program.entryRemains = uninstall::EntryStillListed(program.before);
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
        // A program still installed is not scanned: its own files would read as leftovers.
        std::vector<const inventory::TSoftInfo*> scanned, all;
        std::vector<ProgramRun*> scannedRuns;
        for (auto& program : programs) {
            all.push_back(&program.before);
            if (program.entryRemains) continue;
            scanned.push_back(&program.before);
            scannedRuns.push_back(&program);
        }
        if (!scanned.empty()) {
            const std::vector<int> counts = ScanBatch(scanned, catalogue, request.how, out, scanCode);
            for (std::size_t i = 0; i < scannedRuns.size() && i < counts.size(); ++i) scannedRuns[i]->found = counts[i];
        }
        (void)journal.Remove(all);
    }
    for (const auto& program : programs) {
        std::wstring line = program.outcome.name + L": " + RunState(program);
        if (request.scan && program.entryRemains)
            line += L", not scanned";
        else if (request.scan)
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
    // One whose uninstaller never finished is still installed: nothing of it is a leftover.
    std::vector<const inventory::TSoftInfo*> all, entries;
    for (const auto& entry : pending) {
        all.push_back(&entry);
        if (!uninstall::EntryStillListed(entry)) entries.push_back(&entry);
    }
    int code = kExitOk;
    const std::vector<int> counts =
        entries.empty() ? std::vector<int>{} : ScanBatch(entries, catalogue, how, out, code);
    (void)journal.Remove(all);
    for (std::size_t i = 0; i < entries.size() && i < counts.size(); ++i)
        out.Out(entries[i]->DisplayName + L": " + std::to_wstring(counts[i]) + L" leftover(s) found" +
                (how.remove && counts[i] > 0 && code == kExitOk ? L" and removed\r\n" : L"\r\n"));
    for (const auto& entry : pending)
        if (std::find(entries.begin(), entries.end(), &entry) == entries.end())
            out.Out(entry.DisplayName + L": still installed, not scanned\r\n");
    return code;
}

}  // namespace tarvo::cli
