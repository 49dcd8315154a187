#pragma once
// Findings the system keeps books on besides the registry and the disk: a service (the
// service manager lists it until it is deleted through the manager, and a running one keeps
// running), a scheduled task (the scheduler's own interface takes it away), and an element
// of PATH (never the whole value). The removal asks here before its plain deletion.

#include <string>

#include "leftovers/scan_records.h"

namespace tarvo::leftovers {

struct TSystemStep {
    bool handled = false;  // the item is done with: the plain deletion must not follow
    bool removed = false;  // when handled: it is gone (or goes at the restart)
    std::wstring notice;   // something the user must be told, or empty
};

// The service a key stands for: SYSTEM\<CurrentControlSet or ControlSetNNN>\services\<name>
// under the machine root; empty for every other key.
[[nodiscard]] std::wstring ServiceNameOfKey(HKEY root, const std::wstring& keyPath);

// Takes the item away through the system where it is one of the items above:
// - a service key: stopped and deleted through the manager first; the plain deletion then
//   removes the key if it remains. One that would not stop is marked for deletion at the
//   restart and left to the manager (handled, with a notice);
// - a TaskCache tree key or a task file: deleted through the Task Scheduler first; the plain
//   deletion then removes what remains (the file, the cache keys);
// - the PATH value of an environment key: the element the finding names is edited out and
//   the value kept (handled).
[[nodiscard]] TSystemStep RemoveThroughSystem(const TMyTreeData& item);

}  // namespace tarvo::leftovers
