#pragma once
// Closing a running browser before its files are rewritten. Only the browser's own
// executable is closed: another program that happens to be called "chrome.exe" somewhere
// else is none of our business, and ending it could lose its user's work.

#include <windows.h>

#include <string>
#include <vector>

#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

struct RunningImage {
    DWORD id = 0;
    std::wstring exeName;  // as the snapshot names it
    std::wstring path;     // full path; empty when it could not be read
};

// The ids of the processes named `imageName` (no case) whose path is one of `executables`
// (no case), or lies below one of them that ends in "\". A process whose path cannot be read is not taken: it cannot be shown to be the browser.
[[nodiscard]] std::vector<DWORD> ProcessesToClose(const std::vector<RunningImage>& running, const std::wstring& imageName,
                                                  const std::vector<std::wstring>& executables);

// Where the browser's executable may be: the App Paths registrations (machine, both views,
// and the user's), the usual install folders, and for Opera anything below its program folder.
[[nodiscard]] std::vector<std::wstring> BrowserExecutables(BrowserKind kind, const std::wstring& operaProgramFolder);

// Terminates (exit code 0) every process ProcessesToClose picks. True when each of them
// ended and there was at least one; false when none matched or one could not be ended.
bool KillProcessesByName(const std::wstring& imageName, const std::vector<std::wstring>& executables);

}  // namespace tarvo::browserdefaults
