#pragma once
// Changed values put back after a traced program goes. A value goes back to its data before
// the installation only while it still holds exactly what the installer wrote: anything else
// means the user or another program has set it since, and their data stays. A list value the
// installer appended to (PATH and its kind: strings of ';'-separated elements) loses only the
// elements the installer added, wherever they now stand; every other element stays as it is.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "trace/trace_item.h"

namespace tarvo::trace {

enum class PutBackAction {
    None,          // leave the value as it is now
    Restore,       // write the data before the installation
    DropElements,  // write the present list without the installer's elements
};

struct PutBack {
    PutBackAction action = PutBackAction::None;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;  // what to write
};

// What to do with one ValueChanged item, given the value as it is now (nullopt: gone).
[[nodiscard]] PutBack DecidePutBack(const TraceItem& changed, const std::optional<platform::RegistryValue>& now);

// The elements the installer appended: those of `after` that `before` does not hold (each
// counted once per occurrence), when `before`'s elements all stand in `after` in their order;
// empty when the change was not an addition to a list.
[[nodiscard]] std::vector<std::wstring> AddedElements(const std::wstring& before, const std::wstring& after);

// Values of an environment block (HKCU\Environment, the machine's Session Manager\Environment):
// changing them must be announced to running programs.
[[nodiscard]] bool IsEnvironmentKey(const std::wstring& keyPath);

// True when the trace created or changed a value of an environment block.
[[nodiscard]] bool TouchesEnvironment(const std::vector<TraceItem>& items);

struct PutBackReport {
    int restored = 0;
    int leftAlone = 0;
    int failed = 0;
    bool environmentChanged = false;
    std::vector<std::wstring> lines;  // for the log and the console
};

// Puts back every changed value of the trace that qualifies; `save` runs first for each value
// written (the removal's backup exports it; a value it cannot save is left as it is), `write`
// does the writing (tests fake it).
struct PutBackActions {
    std::function<std::optional<platform::RegistryValue>(const platform::RegistryLocation&, const std::wstring&)> read;
    std::function<bool(const platform::RegistryLocation&, const std::wstring&, DWORD, const std::vector<BYTE>&)> write;
    std::function<bool(const platform::RegistryLocation&, const std::wstring&)> save;
};
[[nodiscard]] PutBackActions DefaultPutBackActions();
[[nodiscard]] PutBackReport PutBackChangedValues(const std::vector<TraceItem>& items, const PutBackActions& actions);

}  // namespace tarvo::trace
