#include "uninstall/uninstall_entry.h"

#include "common/text.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "settings/path_macros.h"
#include "uninstall/run_and_wait.h"

namespace tarvo::uninstall {

namespace {

std::wstring Lower(const std::wstring& text) { return common::LowerCase(text); }

EntryAction RemoveManifest(const std::wstring& file) {
    if (platform::DeleteFileOf(file)) return EntryAction::ToolbarManifestDeleted;
    // Firefox holds its add-on manifests open while it runs.
    return platform::DeleteFileAtRestart(file) ? EntryAction::ToolbarManifestAtRestart
                                               : EntryAction::ToolbarManifestKept;
}

}  // namespace

EntryOutcome UninstallEntryWith(const inventory::TSoftInfo& entry, const CommandRunner& run,
                                const std::function<void()>& pump) {
    const std::wstring command = settings::ExpandPathMacros(entry.UninstallString);
    EntryOutcome outcome{entry.DisplayName, EntryAction::Ran};
    // Toolbar entries are undone by the add-on cleaner, not by a process; the pause keeps
    // a batch's progress readable.
    const auto pause = [&pump] { PumpedPause(kToolbarPauseSteps * kToolbarPauseStep, kToolbarPauseStep, pump); };
    if (command == inventory::kTarvoToolbarMarker || command.find(inventory::kToolbarMarker) != std::wstring::npos) {
        pause();
        outcome.action = EntryAction::ToolbarMarker;
    } else if (entry.IsToolbar && Lower(entry.ToolbarFile).find(L"install.rdf") != std::wstring::npos) {
        pause();
        outcome.action = RemoveManifest(entry.ToolbarFile);
    } else if (run(command) != 0) {
        outcome.action = EntryAction::NotStarted;
    }
    return outcome;
}

std::wstring UninstallEntry(const inventory::TSoftInfo& entry) {
    return UninstallEntryWith(entry, &RunAndWait, [] { platform::PumpWaitingMessages(); }).name;
}

}  // namespace tarvo::uninstall
