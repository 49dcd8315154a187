#pragma once
// The traces, all in one SQLite file in the data folder ("Traces.db"): one file is one place
// to list and back up, and each trace goes in (or out) in one transaction, so a crash never
// leaves half a trace. Binary value data travels as hex text.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sqlite_database.h"
#include "trace/trace_item.h"

namespace tarvo::trace {

// An uninstall entry that appeared while the installer ran.
struct TracedEntry {
    std::wstring key;  // "HKEY_LOCAL_MACHINE\SOFTWARE\…\Uninstall\X", as the catalogue names it
    std::wstring name;
};

struct Trace {
    std::int64_t id = 0;
    std::wstring setup;      // the setup file's full path
    std::wstring setupHash;  // MD5 of its bytes, hex
    std::wstring arguments;
    std::wstring time;  // "YYYY-MM-DD hh:mm:ss", local
    std::vector<TracedEntry> entries;
    std::vector<TraceItem> items;
};

[[nodiscard]] std::wstring TraceStorePath(const std::wstring& dataFolder);

class TraceStore {
public:
    // Opens (creating) the store; false when SQLite or the file cannot be had.
    [[nodiscard]] bool Open(const platform::SqliteLibrary& library, const std::wstring& file);

    // Stores the trace and returns its new id; 0 on failure.
    [[nodiscard]] std::int64_t Add(const Trace& trace);
    // Every trace without its items, newest first; `itemCount` of each is filled.
    [[nodiscard]] std::vector<Trace> List(std::vector<std::int64_t>* itemCounts = nullptr);
    [[nodiscard]] std::optional<Trace> Load(std::int64_t id);
    // The trace an uninstall entry's key was linked to (any case); the newest when several.
    [[nodiscard]] std::optional<Trace> ForEntry(const std::wstring& key);
    [[nodiscard]] bool Delete(std::int64_t id);

private:
    platform::SqliteDatabase db_;
};

[[nodiscard]] std::wstring HexOf(const std::vector<BYTE>& bytes);
[[nodiscard]] std::vector<BYTE> BytesOfHex(const std::wstring& hex);

}  // namespace tarvo::trace
