#include "cli/trace_verbs.h"

#include <nlohmann/json.hpp>

#include "cli/uninstall_verb.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/host.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "trace/trace_filter.h"
#include "trace/traced_install.h"

namespace tarvo::cli {

namespace {

using nlohmann::ordered_json;

std::string Utf8(const std::wstring& text) { return platform::Utf8FromWide(text); }

std::wstring ItemLine(const trace::TraceItem& item) {
    std::wstring line = std::wstring(trace::KindName(item.kind)) + L"  ";
    if (!item.IsRegistry()) return line + item.path;
    line += item.root + L"\\" + item.path;
    if (item.kind == trace::TraceItemKind::ValueCreated || item.kind == trace::TraceItemKind::ValueChanged)
        line += L" | " + (item.valueName.empty() ? std::wstring(L"(Default)") : item.valueName);
    return line;
}

bool OpenStore(trace::TraceStore& store, platform::SqliteLibrary& sqlite, CliOutput& out) {
    if (LoadSqliteBesideProgram(sqlite) && store.Open(sqlite, trace::TraceStorePath(settings::DataFolder())))
        return true;
    out.Err(L"tarvo: the trace store cannot be opened (sqlite3.dll beside tarvo.exe?)\r\n");
    return false;
}

bool ParseId(const std::wstring& text, std::int64_t& id) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    id = std::stoll(text);
    return true;
}

}  // namespace

bool LoadSqliteBesideProgram(platform::SqliteLibrary& sqlite) {
    const std::wstring exe = platform::GetModuleFilePath();
    return sqlite.Load(exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll");
}

trace::TracedScan AddTracedScan(const std::vector<const inventory::TSoftInfo*>& entries,
                                leftovers::TResultTree& tree) {
    platform::SqliteLibrary sqlite;
    if (!LoadSqliteBesideProgram(sqlite)) return {};
    return trace::AddTracedNodes(entries, tree, sqlite, settings::DataFolder());
}

int RunInstallVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (args.empty() || args[0].empty() || args[0][0] == L'-') return kExitUsage;
    trace::TracedInstallRequest request;
    request.setup = platform::GetFullPathOf(args[0]);
    request.arguments.assign(args.begin() + 1, args.end());
    if (!platform::FileExists(request.setup)) {
        out.Err(L"tarvo install: no setup file \"" + args[0] + L"\"\r\n");
        return kExitFailure;
    }
    platform::SqliteLibrary sqlite;
    if (!LoadSqliteBesideProgram(sqlite)) {
        out.Err(L"tarvo install: sqlite3.dll is missing beside tarvo.exe; nothing was run\r\n");
        return kExitFailure;
    }
    const std::wstring dataFolder = settings::DataFolder();
    out.Out(L"Recording the system before the installation...\r\n");
    const trace::TracedInstallResult result =
        trace::RunTracedInstall(request, trace::DefaultRecordingPlan(dataFolder), sqlite, dataFolder);
    switch (result.end) {
        case trace::TracedInstallEnd::NotRecorded:
            out.Err(L"tarvo install: the recording could not start; nothing was run\r\n");
            return kExitFailure;
        case trace::TracedInstallEnd::NotStarted:
            out.Err(L"tarvo install: the setup could not be started (error " + std::to_wstring(result.run.startError) +
                    L")\r\n");
            return kExitNotStarted;
        case trace::TracedInstallEnd::NotStored:
            out.Err(L"tarvo install: the trace could not be stored\r\n");
            return kExitFailure;
        case trace::TracedInstallEnd::Stored: break;
    }
    out.Out(L"Trace " + std::to_wstring(result.trace.id) + L": " + std::to_wstring(result.trace.items.size()) +
            L" items recorded\r\n");
    for (const auto& entry : result.trace.entries) out.Out(L"Installed: " + entry.name + L" (" + entry.key + L")\r\n");
    if (result.trace.entries.empty()) out.Out(L"No uninstall entry appeared.\r\n");
    return kExitOk;
}

int RunTracesVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (!args.empty() && args[0] == L"filter") {
        for (const auto& line : trace::DefaultTraceFilter(settings::DataFolder()).Lines()) out.Out(line + L"\r\n");
        return kExitOk;
    }
    const bool json = !args.empty() && args[0] == L"--json";
    if (args.size() > 1 && (args[0] == L"delete" || args[0] == L"show") && args.size() == 2) {
        std::int64_t id = 0;
        if (!ParseId(args[1], id)) return kExitUsage;
        platform::SqliteLibrary sqlite;
        trace::TraceStore store;
        if (!OpenStore(store, sqlite, out)) return kExitFailure;
        const auto trace = store.Load(id);
        if (!trace) {
            out.Err(L"tarvo traces: no trace " + args[1] + L"\r\n");
            return kExitUnknownTrace;
        }
        if (args[0] == L"show") {
            for (const auto& item : trace->items) out.Out(ItemLine(item) + L"\r\n");
            return kExitOk;
        }
        if (!store.Delete(id)) {
            out.Err(L"tarvo traces: trace " + args[1] + L" could not be deleted\r\n");
            return kExitFailure;
        }
        out.Out(L"Deleted trace " + args[1] + L"\r\n");
        return kExitOk;
    }
    if (args.size() > (json ? 1u : 0u)) return kExitUsage;
    platform::SqliteLibrary sqlite;
    trace::TraceStore store;
    if (!platform::FileExists(trace::TraceStorePath(settings::DataFolder()))) {
        if (json) out.OutUtf8("[]\n");
        else out.Out(L"No traced installations.\r\n");
        return kExitOk;
    }
    if (!OpenStore(store, sqlite, out)) return kExitFailure;
    std::vector<std::int64_t> counts;
    const auto traces = store.List(&counts);
    if (json) {
        ordered_json array = ordered_json::array();
        for (std::size_t i = 0; i < traces.size(); ++i) {
            const auto& t = traces[i];
            ordered_json o;
            o["id"] = t.id;
            o["time"] = Utf8(t.time);
            o["setup"] = Utf8(t.setup);
            o["setupMd5"] = Utf8(t.setupHash);
            o["arguments"] = Utf8(t.arguments);
            o["items"] = counts[i];
            ordered_json entries = ordered_json::array();
            for (const auto& e : t.entries) entries.push_back({{"key", Utf8(e.key)}, {"name", Utf8(e.name)}});
            o["entries"] = std::move(entries);
            array.push_back(std::move(o));
        }
        out.OutUtf8(array.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n");
        return kExitOk;
    }
    if (traces.empty()) out.Out(L"No traced installations.\r\n");
    for (std::size_t i = 0; i < traces.size(); ++i) {
        const auto& t = traces[i];
        std::wstring names;
        for (const auto& e : t.entries) names += (names.empty() ? L"" : L", ") + e.name;
        out.Out(std::to_wstring(t.id) + L"  " + t.time + L"  " + std::to_wstring(counts[i]) + L" items  " + t.setup +
                (names.empty() ? L"" : L"  -> " + names) + L"\r\n");
    }
    return kExitOk;
}

}  // namespace tarvo::cli
