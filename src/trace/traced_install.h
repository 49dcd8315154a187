#pragma once
// Installing a program under a recording: snapshots, the installer run in a job and waited
// for with every process it starts (as an uninstaller is), the comparison, the uninstall
// entries that appeared, and the trace stored. No window: the console and the main window
// both drive it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "inventory/soft_info.h"
#include "platform/sqlite_library.h"
#include "trace/trace_recorder.h"
#include "trace/trace_store.h"
#include "uninstall/run_and_wait.h"

namespace tarvo::trace {

struct TracedInstallRequest {
    std::wstring setup;
    std::vector<std::wstring> arguments;
};

enum class TracedInstallEnd {
    Stored,        // recorded and stored
    NotRecorded,   // the snapshots could not be taken: nothing was started
    NotStarted,    // the setup could not be started
    NotStored,     // recorded, but the store could not be written
};

struct TracedInstallResult {
    TracedInstallEnd end = TracedInstallEnd::NotRecorded;
    uninstall::RunResult run;
    Trace trace;
};

// The seams: how the installer runs and how the installed programs are listed.
struct TracedInstallActions {
    std::function<uninstall::RunResult(const std::wstring& command)> run;
    std::function<std::vector<TracedEntry>()> uninstallEntries;
};
[[nodiscard]] TracedInstallActions DefaultTracedInstallActions();

// The command that runs the setup: an .msi through msiexec /i, anything else itself.
[[nodiscard]] std::wstring SetupCommand(const TracedInstallRequest& request);
// "HKEY_LOCAL_MACHINE\SOFTWARE\…\Uninstall\X": the key a trace links an entry by.
[[nodiscard]] std::wstring EntryKey(const inventory::TSoftInfo& entry);

[[nodiscard]] TracedInstallResult RunTracedInstall(const TracedInstallRequest& request, RecordingPlan plan,
                                                   const platform::SqliteLibrary& sqlite,
                                                   const std::wstring& dataFolder,
                                                   const TracedInstallActions& actions = DefaultTracedInstallActions());

// The trace linked to this entry, if the store has one.
[[nodiscard]] std::optional<Trace> TraceForEntry(const inventory::TSoftInfo& entry, const platform::SqliteLibrary& sqlite,
                                                 const std::wstring& dataFolder);

}  // namespace tarvo::trace
