#pragma once
// What start-up establishes for the whole run: the arguments, where the program lives, the
// libraries loaded from there, and how far start-up has come.

#include <string>

#include "platform/sqlite_library.h"
#include "shell/startup_command_line.h"
#include "shell/statistics_library.h"

namespace tarvo::shell {

struct TProgramState {
    Arguments arguments;
    std::wstring installLocation;  // "InstallLocation" of our uninstall key, as it stands
    std::wstring programFolder;    // with a trailing backslash, or empty
    platform::SqliteLibrary sqlite;
    TStatisticsLibrary statistics;
    bool catalogueReady = false;
    // Set when the deferred start-up jobs begin; the add-on page waits for it.
    bool startupDone = false;
};

// Reads the program folder and loads sqlite3.dll and UsageReport.dll from it. With no
// program folder neither library is loaded: a bare file name would be looked for in the
// current directory, where anyone may have put a file of that name.
void LoadProgramFolderLibraries(TProgramState& state);

}  // namespace tarvo::shell
