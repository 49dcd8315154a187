#pragma once
// Which files of the log folder count as logs, for the log manager and the console.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::uninstall {

struct LogFileRecord {
    std::wstring name;
    std::wstring path;
    ULONGLONG size = 0;
    FILETIME lastWrite{};  // UTC
};

// True for a name containing ".log" anywhere, in any letter case ("notes.LOG.txt").
[[nodiscard]] bool IsLogFileName(const std::wstring& name);

// Every file (never a folder) of `folder` whose name passes IsLogFileName, in the order the
// file system gives them. A missing folder lists nothing.
[[nodiscard]] std::vector<LogFileRecord> ListLogFiles(const std::wstring& folder);

// One line per file for the console: name, size in bytes, last change in local time,
// columns aligned ("2013-05-12.log  1 234 bytes  2013-05-12 14:03"). "No log files." when empty.
[[nodiscard]] std::vector<std::wstring> FormatLogListing(const std::vector<LogFileRecord>& files);

}  // namespace tarvo::uninstall
