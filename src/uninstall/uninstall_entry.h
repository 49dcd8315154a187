#pragma once
// Uninstalling one catalogue entry: its own uninstall command, or, for the browser toolbar
// entries that have no command of their own, the short pause and manifest removal instead.

#include <functional>
#include <string>

#include "inventory/soft_info.h"

namespace tarvo::uninstall {

enum class EntryAction {
    Ran,                       // the command ran and its wait ended
    NotStarted,                // the command could not be started; nothing shown to the user
    ToolbarMarker,             // a toolbar marker instead of a command: no process
    ToolbarManifestDeleted,    // a toolbar's install.rdf removed at once
    ToolbarManifestAtRestart,  // … or scheduled for the next restart
    ToolbarManifestKept,       // neither worked
};

struct EntryOutcome {
    std::wstring name;  // the entry's DisplayName, for the log
    EntryAction action = EntryAction::Ran;
};

// Runs a command and waits; 0 when it started, -1 when it did not (RunAndWait).
using CommandRunner = std::function<int(const std::wstring& command)>;

// The toolbar pause: eleven 20 ms sleeps, pumping after each.
inline constexpr unsigned kToolbarPauseSteps = 11;
inline constexpr unsigned kToolbarPauseStep = 20;

[[nodiscard]] EntryOutcome UninstallEntryWith(const inventory::TSoftInfo& entry, const CommandRunner& run,
                                              const std::function<void()>& pump);
// The real thing: RunAndWait and the real message pump. Returns the entry's DisplayName.
std::wstring UninstallEntry(const inventory::TSoftInfo& entry);

}  // namespace tarvo::uninstall
