#pragma once
// Shared pieces of the class rules: the machine-to-classes-root counterpart of a key, and
// the one walk of a class key's subtree that both matching steps of a class read from.

#include <windows.h>

#include <optional>
#include <string>

#include "leftovers/regedit_scan.h"

namespace tarvo::leftovers {

// "SOFTWARE\Classes\X" (any case, leading backslash allowed) -> "X": the same key seen through
// the classes root.
[[nodiscard]] std::wstring ClassesRootCounterpart(const std::wstring& machinePath);

// Reports a key under the machine root into one set, then its classes-root counterpart
// under the same name into another.
void ReportWithCounterpart(TRegeditScanClasses& scan, TRuleSet& machineSet, TRuleSet& rootSet,
                           const std::wstring& name, const std::wstring& machinePath);

// What the COM class rule learns about one class key while it has it open.
struct ClassVisit {
    bool serverInFolder = false;
    // The key CommandSearch found, relative to the class key ("shell\open"); "" for the class
    // key itself. Empty optional when nothing was found or the server already matched.
    std::optional<std::wstring> commandKey;
    // Read only for a class whose server lies in the folder.
    std::wstring appId, typeLib, progId;
};

// Opens the class key once and each key below it at most once: the server values first
// (ClassServerInFolder), then, when they do not match, a breadth-first search for a
// "command" key that runs something in the folder (CommandSearch).
[[nodiscard]] ClassVisit VisitClass(const TRegeditScanClasses& scan, HKEY clsidKey, const std::wstring& classId);

// A server value names the folder, directly or through its long path form.
[[nodiscard]] bool ServerTextInFolder(const TRegeditScanClasses& scan, const std::wstring& serverText);

// The long form of a path whose parts may be 8.3 names; when the path no longer exists, the
// long form of its longest part that does, followed by the rest unchanged.
[[nodiscard]] std::wstring LongFormOfExistingPart(const std::wstring& path);

// The name under which a key found by the command search is recorded: the found key's own
// machine path, which belongs to that class alone and is never a class identifier (so the
// later rules that look classes up by identifier do not take it for one).
[[nodiscard]] std::wstring CommandSearchName(const std::wstring& classId, const std::wstring& relativeKey);

// True when the type library's tree below the key (a version, a locale) registers a "win32"
// file in the folder. The first "win32" key met decides.
[[nodiscard]] bool TypeLibInFolder(const TRegeditScanClasses& scan, HKEY parent, const std::wstring& name);

}  // namespace tarvo::leftovers
