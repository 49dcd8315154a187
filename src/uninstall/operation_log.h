#pragma once
// The day's log file: every uninstall run and every leftover removal appends its lines to
// "<log folder>\yyyy-mm-dd.log". The first writer of the day also writes its header.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tarvo::uninstall {

// What a writer needs to know about its surroundings. The shell fills it once: the log
// folder from the data folder, the version from the running exe, the Windows name from
// the settings subsystem. Tests point `folder` at a scratch folder and fix `clock`.
struct LogContext {
    std::wstring folder;
    std::wstring appVersion;
    std::wstring systemName;
    std::function<SYSTEMTIME()> clock;  // local time; empty means the system clock
};

// dataFolder + "\Log".
[[nodiscard]] std::wstring LogFolderOf(const std::wstring& dataFolder);
// "FileVersion" of the running executable, "Unknown" when it cannot be read.
[[nodiscard]] std::wstring CurrentAppVersion();
// What the shell hands to every writer: the log folder of `dataFolder`, this exe's version
// and the Windows name.
[[nodiscard]] LogContext MakeLogContext(const std::wstring& dataFolder);
// "2013-05-12.log": always "-" between the parts, whatever the locale says.
[[nodiscard]] std::wstring DayLogFileName(const SYSTEMTIME& localTime);
// "2013-05-12 14:03:09".
[[nodiscard]] std::wstring LogTimestamp(const SYSTEMTIME& localTime);

// The seven lines a new day file starts with. The two writers differ on purpose in
// line 2 and in the blank after the colon of lines 3 and 4; other tools read these files.
[[nodiscard]] std::vector<std::wstring> UninstallLogHeader(const std::wstring& appVersion,
                                                           const std::wstring& systemName,
                                                           const SYSTEMTIME& localTime);
[[nodiscard]] std::vector<std::wstring> RemovalLogHeader(const std::wstring& appVersion,
                                                         const std::wstring& systemName,
                                                         const SYSTEMTIME& localTime);

enum class LogWriteResult {
    Written,
    DayFileUnreadable,  // today's file exists but could not be read: left alone, lines dropped
    SaveFailed,         // folder or file could not be written: the old file is still whole
};

// Appends `lines` to today's file, creating it with the writer's header. Callers go on
// whatever the result; it is there for tests and for a note in the caller's own state.
LogWriteResult WriteUninstallLog(const LogContext& context, const std::vector<std::wstring>& lines);
LogWriteResult WriteRemovalLog(const LogContext& context, const std::vector<std::wstring>& lines);

// Creates `path` and every missing parent; true when the folder exists afterwards.
bool CreateFolderTree(const std::wstring& path);

}  // namespace tarvo::uninstall
