#pragma once
// Pinning our shortcut to the Start menu through the shell's own verbs, and keeping the
// Start menu's pin list (the "Favorites" blob Explorer keeps) in order around it.

#include <string>
#include <vector>

namespace tarvo::setup {

// One record of the pin list: 1 byte, a 16-bit length L, then L + 2 data bytes.
struct PinRecord {
    std::string bytes;  // the whole record as stored
    std::string text;   // its first L + 1 data bytes, printable ASCII only
};
struct PinList {
    std::vector<PinRecord> records;
    std::string tail;  // what follows the last whole record, kept as it is
};

// Records are read while at least 4 bytes remain; a record running past the end is tail.
[[nodiscard]] PinList ParsePinList(const std::string& blob);
// A record matches when its text contains `name`, both upper-cased.
[[nodiscard]] bool PinRecordMatches(const PinRecord& record, const std::wstring& name);
// The blob without the matching records; `removed` tells whether any went.
[[nodiscard]] std::string PinListWithout(const PinList& list, const std::wstring& name, bool& removed);
// The matching records first, then the others, then the tail; `moved` tells whether any matched.
[[nodiscard]] std::string PinListMatchingFirst(const PinList& list, const std::wstring& name, bool& moved);

// True for names that look like set-up programs, which Windows 7 refuses to pin itself.
[[nodiscard]] bool LooksLikeInstallerName(const std::wstring& name);

enum class PinAction { PinToStartMenu = 0, UnpinFromStartMenu = 1, PinToTaskbar = 2, UnpinFromTaskbar = 3 };

// The shell's own text of the verb (shell32.dll strings 5381, 5382, 5386, 5387).
[[nodiscard]] std::wstring ShellVerbText(PinAction action);
// 0 done, -2 no verb text or no shell object, -3 already pinned / verb not offered,
// -4 folder or item not found.
int InvokeShellVerb(const std::wstring& path, const std::wstring& verbText);

int RemoveFromPinList(const std::wstring& name);
void MovePinToFront(const std::wstring& name, bool win7Layout);
void RefreshPins();

// `target` may be empty for an unpin by name. Results as InvokeShellVerb.
int PinToStartMenu(const std::wstring& target, const std::wstring& name, PinAction action);

}  // namespace tarvo::setup
