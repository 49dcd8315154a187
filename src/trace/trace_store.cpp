#include "trace/trace_store.h"

#include "platform/text.h"

namespace tarvo::trace {

namespace {

constexpr int kOk = platform::SqliteLibrary::kOk;
constexpr int kRow = platform::SqliteLibrary::kRow;
constexpr int kDone = platform::SqliteLibrary::kDone;

// One statement each: the database runs a single statement per call.
constexpr const char* kSchema[] = {
    "CREATE TABLE IF NOT EXISTS traces(id INTEGER PRIMARY KEY, setup TEXT, hash TEXT, arguments TEXT, time TEXT)",
    "CREATE TABLE IF NOT EXISTS trace_entries(trace INTEGER, key TEXT, name TEXT)",
    "CREATE TABLE IF NOT EXISTS trace_items(trace INTEGER, seq INTEGER, kind TEXT, root TEXT, path TEXT,"
    " view64 INTEGER, value TEXT, type_before INTEGER, before TEXT, type_after INTEGER, after TEXT)",
    "CREATE INDEX IF NOT EXISTS trace_items_trace ON trace_items(trace, seq)",
    "CREATE INDEX IF NOT EXISTS trace_entries_key ON trace_entries(key COLLATE NOCASE)",
};

}  // namespace

const wchar_t* KindName(TraceItemKind kind) noexcept {
    switch (kind) {
        case TraceItemKind::KeyCreated: return L"key";
        case TraceItemKind::ValueCreated: return L"value";
        case TraceItemKind::ValueChanged: return L"value-changed";
        case TraceItemKind::FolderCreated: return L"folder";
        case TraceItemKind::FileCreated: return L"file";
        case TraceItemKind::FileChanged: return L"file-changed";
    }
    return L"";
}

bool KindFromName(const std::wstring& name, TraceItemKind& kind) noexcept {
    for (int i = 0; i <= static_cast<int>(TraceItemKind::FileChanged); ++i)
        if (name == KindName(static_cast<TraceItemKind>(i))) {
            kind = static_cast<TraceItemKind>(i);
            return true;
        }
    return false;
}

std::wstring HexOf(const std::vector<BYTE>& bytes) {
    static constexpr wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    hex.reserve(bytes.size() * 2);
    for (BYTE b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

std::vector<BYTE> BytesOfHex(const std::wstring& hex) {
    const auto digit = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'a' && c <= L'f') return c - L'a' + 10;
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        return -1;
    };
    std::vector<BYTE> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = digit(hex[i]), low = digit(hex[i + 1]);
        if (high < 0 || low < 0) break;
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return bytes;
}

std::wstring TraceStorePath(const std::wstring& dataFolder) {
    std::wstring path = dataFolder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + L"Traces.db";
}

bool TraceStore::Open(const platform::SqliteLibrary& library, const std::wstring& file) {
    if (db_.Open(library, file, true) != kOk) return false;
    for (const char* statement : kSchema)
        if (db_.Execute(statement) != kOk) {
            db_.Close();
            return false;
        }
    return true;
}

std::int64_t TraceStore::Add(const Trace& trace) {
    if (!db_.IsOpen()) return 0;
    platform::SqliteTransaction transaction(db_);
    if (!transaction.Began()) return 0;
    auto head = db_.Prepare("INSERT INTO traces(setup, hash, arguments, time) VALUES(?,?,?,?)");
    if (!head.IsValid() || head.BindText(1, trace.setup) != kOk || head.BindText(2, trace.setupHash) != kOk ||
        head.BindText(3, trace.arguments) != kOk || head.BindText(4, trace.time) != kOk || head.Step() != kDone)
        return 0;
    auto idQuery = db_.Prepare("SELECT last_insert_rowid()");
    if (!idQuery.IsValid() || idQuery.Step() != kRow) return 0;
    const std::int64_t id = idQuery.ColumnInt(0);

    auto entry = db_.Prepare("INSERT INTO trace_entries(trace, key, name) VALUES(?,?,?)");
    for (const TracedEntry& e : trace.entries) {
        (void)entry.Reset();
        if (entry.BindInt(1, id) != kOk || entry.BindText(2, e.key) != kOk || entry.BindText(3, e.name) != kOk ||
            entry.Step() != kDone)
            return 0;
    }
    auto item = db_.Prepare(
        "INSERT INTO trace_items(trace, seq, kind, root, path, view64, value, type_before, before, type_after, after)"
        " VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    std::int64_t seq = 0;
    for (const TraceItem& i : trace.items) {
        (void)item.Reset();
        if (item.BindInt(1, id) != kOk || item.BindInt(2, seq++) != kOk || item.BindText(3, KindName(i.kind)) != kOk ||
            item.BindText(4, i.root) != kOk || item.BindText(5, i.path) != kOk ||
            item.BindInt(6, i.view64 ? 1 : 0) != kOk || item.BindText(7, i.valueName) != kOk ||
            item.BindInt(8, i.typeBefore) != kOk || item.BindText(9, HexOf(i.before)) != kOk ||
            item.BindInt(10, i.typeAfter) != kOk || item.BindText(11, HexOf(i.after)) != kOk || item.Step() != kDone)
            return 0;
    }
    return transaction.Commit() == kOk ? id : 0;
}

std::vector<Trace> TraceStore::List(std::vector<std::int64_t>* itemCounts) {
    std::vector<Trace> traces;
    if (!db_.IsOpen()) return traces;
    auto query = db_.Prepare(
        "SELECT id, setup, hash, arguments, time, (SELECT COUNT(*) FROM trace_items WHERE trace = id)"
        " FROM traces ORDER BY id DESC");
    auto entries = db_.Prepare("SELECT key, name FROM trace_entries WHERE trace = ?");
    while (query.IsValid() && query.Step() == kRow) {
        Trace trace;
        trace.id = query.ColumnInt(0);
        trace.setup = query.ColumnText(1);
        trace.setupHash = query.ColumnText(2);
        trace.arguments = query.ColumnText(3);
        trace.time = query.ColumnText(4);
        if (itemCounts) itemCounts->push_back(query.ColumnInt(5));
        (void)entries.Reset();
        if (entries.BindInt(1, trace.id) == kOk)
            while (entries.Step() == kRow) trace.entries.push_back({entries.ColumnText(0), entries.ColumnText(1)});
        traces.push_back(std::move(trace));
    }
    return traces;
}

std::optional<Trace> TraceStore::Load(std::int64_t id) {
    std::optional<Trace> found;
    for (Trace& trace : List())
        if (trace.id == id) found = std::move(trace);
    if (!found) return std::nullopt;
    auto query = db_.Prepare(
        "SELECT kind, root, path, view64, value, type_before, before, type_after, after FROM trace_items"
        " WHERE trace = ? ORDER BY seq");
    if (!query.IsValid() || query.BindInt(1, id) != kOk) return std::nullopt;
    while (query.Step() == kRow) {
        TraceItem item;
        if (!KindFromName(query.ColumnText(0), item.kind)) continue;
        item.root = query.ColumnText(1);
        item.path = query.ColumnText(2);
        item.view64 = query.ColumnInt(3) != 0;
        item.valueName = query.ColumnText(4);
        item.typeBefore = static_cast<DWORD>(query.ColumnInt(5));
        item.before = BytesOfHex(query.ColumnText(6));
        item.typeAfter = static_cast<DWORD>(query.ColumnInt(7));
        item.after = BytesOfHex(query.ColumnText(8));
        found->items.push_back(std::move(item));
    }
    return found;
}

std::optional<Trace> TraceStore::ForEntry(const std::wstring& key) {
    if (!db_.IsOpen()) return std::nullopt;
    auto query = db_.Prepare("SELECT MAX(trace) FROM trace_entries WHERE key = ? COLLATE NOCASE");
    if (!query.IsValid() || query.BindText(1, key) != kOk || query.Step() != kRow) return std::nullopt;
    const std::int64_t id = query.ColumnInt(0);
    if (id == 0) return std::nullopt;
    return Load(id);
}

bool TraceStore::Delete(std::int64_t id) {
    if (!db_.IsOpen()) return false;
    platform::SqliteTransaction transaction(db_);
    if (!transaction.Began()) return false;
    for (const char* sql : {"DELETE FROM trace_items WHERE trace = ?", "DELETE FROM trace_entries WHERE trace = ?",
                            "DELETE FROM traces WHERE id = ?"}) {
        auto statement = db_.Prepare(sql);
        if (!statement.IsValid() || statement.BindInt(1, id) != kOk || statement.Step() != kDone) return false;
    }
    return transaction.Commit() == kOk;
}

}  // namespace tarvo::trace
