#pragma once
// Scheduled tasks: what the Task Scheduler keeps of each task (its file below the Tasks
// folder, the cache keys it indexes the file by) and which of them are a program's. The
// updaters of most large programs register one, and an uninstaller that forgets it leaves
// the scheduler starting a missing file every day.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::leftovers {

class TRegeditScanClasses;

inline constexpr wchar_t kTaskCacheKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Schedule\\TaskCache";

// One task as its file tells it.
struct TScheduledTask {
    std::wstring name;                   // "\Vendor\Updater"; XP's "Updater.job" is "\Updater.job"
    std::wstring file;                   // the task's file
    std::vector<std::wstring> commands;  // what its actions start, environment references expanded
};

// The native Tasks folder of Vista and later (through Sysnative under WOW64, which would
// otherwise show a 32-bit process SysWOW64's), and XP's "<Windows>\Tasks" with its .job files.
[[nodiscard]] std::vector<std::wstring> TaskFolders();

// Every task below the given folders, each folder's tasks in listing order.
[[nodiscard]] std::vector<TScheduledTask> ReadScheduledTasks(const std::vector<std::wstring>& folders = TaskFolders());

// The commands of a task file's text: each <Command> element, entities decoded.
[[nodiscard]] std::vector<std::wstring> TaskXmlCommands(const std::wstring& xml);

// The TaskCache keys (below kTaskCacheKey) that index the task and exist: Tree\<name>, and
// by the identifier that key holds, Tasks\<id> and the Boot, Logon and Plain lists' <id>.
// Read in the native registry view.
[[nodiscard]] std::vector<std::wstring> TaskCacheKeys(const std::wstring& taskName);

// The task a TaskCache\Tree key stands for ("\Vendor\Updater"), when `keyPath` is one, and the
// task a file in a Tasks folder is; empty otherwise.
[[nodiscard]] std::wstring TaskNameOfCacheKey(HKEY root, const std::wstring& keyPath);
[[nodiscard]] std::wstring TaskNameOfFile(const std::wstring& path, const std::vector<std::wstring>& folders = TaskFolders());

// The scan's rule: a task is the program's when an action starts something in its folder, or
// when its name is the program's and what it starts is gone. Reports the file and the cache
// keys; a task that starts another program's file is never offered.
void ScheduledTaskRule(TRegeditScanClasses& scan);

}  // namespace tarvo::leftovers
