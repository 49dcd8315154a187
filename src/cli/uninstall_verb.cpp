#include "cli/uninstall_verb.h"

#include "cli/batch_uninstall.h"
#include "cli/scan_verb.h"
#include "inventory/command_analysis.h"
#include "inventory/installer_records.h"
#include "inventory/program_places.h"
#include "common/text.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "uninstall/log_lines.h"
#include "uninstall/operation_log.h"
#include "uninstall/run_and_wait.h"
#include "uninstall/uninstall_entry.h"

namespace tarvo::cli {

namespace {

std::wstring Upper(const std::wstring& text) { return common::UpperCase(text); }

// The long root name for the short forms people type.
std::wstring LongRootForm(const std::wstring& key) {
    static const struct {
        const wchar_t* shortName;
        const wchar_t* longName;
    } roots[] = {{L"HKLM\\", L"HKEY_LOCAL_MACHINE\\"}, {L"HKCU\\", L"HKEY_CURRENT_USER\\"},
                 {L"HKU\\", L"HKEY_USERS\\"},          {L"HKCR\\", L"HKEY_CLASSES_ROOT\\"}};
    const std::wstring upper = Upper(key);
    for (const auto& root : roots) {
        const std::wstring shortName = root.shortName;
        if (upper.rfind(shortName, 0) == 0) return root.longName + upper.substr(shortName.size());
    }
    return upper;
}

}  // namespace

const inventory::TSoftInfo* FindUninstallTarget(const inventory::TSoftList& list, const std::wstring& target) {
    if (target.empty()) return nullptr;
    for (const auto& entry : list)
        if (!entry->Hidden && entry->DisplayName == target) return entry.get();
    const std::wstring wanted = LongRootForm(target);
    for (const auto& entry : list)
        if (Upper(entry->RootKeyName + entry->KeyPath) == wanted) return entry.get();
    return nullptr;
}

int RunUninstallVerb(std::span<const std::wstring> args, CliOutput& out) {
    std::vector<std::wstring> targets;
    bool yes = false, scan = false, quiet = false;
    ScanReport how;
    for (const std::wstring& arg : args) {
        if (arg == L"--yes" || arg == L"-y")
            yes = true;
        else if (arg == L"--quiet")
            quiet = true;
        else if (arg == L"--scan")
            scan = true;
        else if (arg == L"--delete")
            how.remove = true;
        else if (arg == L"--shred")
            how.shred = true;
        else if (!arg.empty() && arg[0] == L'-')
            return kExitUsage;
        else
            targets.push_back(arg);
    }
    if (targets.empty() || (how.remove && !scan) || (how.shred && !how.remove)) return kExitUsage;
    if (targets.size() > 1 || quiet) {
        how.nothingFoundIsSuccess = true;
        return RunBatchUninstall({targets, yes, quiet, scan, how}, out);
    }
    const std::wstring& target = targets.front();

    inventory::TSoftList list;
    inventory::Inventory(list);
    const inventory::TSoftInfo* entry = FindUninstallTarget(list, target);
    if (!entry) {
        out.Err(L"tarvo: no installed program is named \"" + target + L"\"\r\n");
        return kExitNotFound;
    }
    if (!yes) {
        out.Out(L"Uninstall " + entry->DisplayName + L"? [y/N] ");
        const auto answer = out.ReadLine();
        if (!answer || (*answer != L"y" && *answer != L"Y" && *answer != L"yes")) {
            out.Err(L"tarvo: not uninstalled\r\n");
            return kExitFailure;
        }
    }

    // The scan looks at the entry and the catalogue as they were before the uninstaller ran,
    // as the window's does: by then the entry's key is gone.
    inventory::TSoftInfo before = *entry;
    std::vector<inventory::TProgramPlace> catalogue;
    if (scan) {
        catalogue = inventory::CataloguePlaces(list, true);
        if (common::Trim(before.InstallLocation).empty())
            before.InstallLocation = inventory::CompletedInstallFolder(before);
    }

    out.Out(L"Uninstalling " + entry->DisplayName + L"\r\n");
    uninstall::RunResult run;
    const auto runner = [&run](const std::wstring& command) {
        run = uninstall::RunAndWaitDetailed(command);
        return run.code;
    };
    const uninstall::EntryOutcome outcome = uninstall::UninstallEntryWith(*entry, runner, [] {});
    // Logged whatever happened, as the dialog does.
    (void)uninstall::WriteUninstallLog(uninstall::MakeLogContext(settings::DataFolder()),
                                       uninstall::UninstallLogLines(outcome.name, platform::LocalTimeNow()));

    if (outcome.action == uninstall::EntryAction::NotStarted) {
        out.Err(L"tarvo: the uninstaller could not be started (error " + std::to_wstring(run.startError) + L")\r\n");
        return kExitNotStarted;
    }
    if (outcome.action == uninstall::EntryAction::Ran && run.end == uninstall::WaitEnd::QueryFailures) {
        out.Err(L"tarvo: lost track of the uninstaller's processes\r\n");
        return kExitFailure;
    }
    if (!run.lingeringIds.empty())
        out.Out(L"Left running: " + std::to_wstring(run.lingeringIds.size()) + L" browser or shell process(es)\r\n");
    out.Out(L"Done: " + outcome.name + L"\r\n");
    if (!scan) return kExitOk;
    how.nothingFoundIsSuccess = true;
    return ScanAndReport(&before, {}, catalogue, how, out);
}

}  // namespace tarvo::cli
