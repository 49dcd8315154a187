#include "trace/traced_install.h"

#include <algorithm>
#include <cwchar>

#include "common/text.h"
#include "inventory/inventory.h"
#include "platform/crypto_hash.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace tarvo::trace {

namespace {

std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    return L"\"" + argument + L"\"";
}

std::wstring Md5Hex(const std::wstring& path) {
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes) return {};
    const auto digest = platform::ComputeMd5(bytes->data(), bytes->size());
    if (!digest) return {};
    return HexOf(std::vector<BYTE>(digest->begin(), digest->end()));
}

std::wstring TimeText(const SYSTEMTIME& t) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

}  // namespace

std::wstring EntryKey(const inventory::TSoftInfo& entry) {
    return entry.RootKeyName + L"\\" + platform::RelativeKeyPath(entry.KeyPath);
}

std::wstring SetupCommand(const TracedInstallRequest& request) {
    std::wstring command;
    const std::wstring lower = common::LowerCase(request.setup);
    if (lower.ends_with(L".msi"))
        command = L"msiexec.exe /i " + Quoted(request.setup);
    else
        command = Quoted(request.setup);
    for (const std::wstring& argument : request.arguments) command += L" " + Quoted(argument);
    return command;
}

TracedInstallActions DefaultTracedInstallActions() {
    TracedInstallActions actions;
    actions.run = [](const std::wstring& command) {
        uninstall::RunOptions options;
        options.startDelay = 0;
        return uninstall::RunAndWaitDetailed(command, options);
    };
    actions.uninstallEntries = [] {
        inventory::TSoftList list;
        inventory::Inventory(list);
        std::vector<TracedEntry> entries;
        for (const auto& entry : list) entries.push_back({EntryKey(*entry), entry->DisplayName});
        return entries;
    };
    return actions;
}

TracedInstallResult RunTracedInstall(const TracedInstallRequest& request, RecordingPlan plan,
                                     const platform::SqliteLibrary& sqlite, const std::wstring& dataFolder,
                                     const TracedInstallActions& actions) {
    TracedInstallResult result;
    result.trace.setup = request.setup;
    result.trace.setupHash = Md5Hex(request.setup);
    for (const std::wstring& argument : request.arguments)
        result.trace.arguments += (result.trace.arguments.empty() ? L"" : L" ") + Quoted(argument);
    result.trace.time = TimeText(platform::LocalTimeNow());

    const std::vector<TracedEntry> before = actions.uninstallEntries();
    TraceRecorder recorder(std::move(plan));
    if (!recorder.Begin()) return result;
    result.run = actions.run(SetupCommand(request));
    if (result.run.code != 0) {
        result.end = TracedInstallEnd::NotStarted;
        return result;
    }
    result.trace.items = recorder.End();
    for (const TracedEntry& entry : actions.uninstallEntries()) {
        const bool known = std::any_of(before.begin(), before.end(), [&](const TracedEntry& old) {
            return common::EqualsIgnoreCase(old.key, entry.key);
        });
        if (!known) result.trace.entries.push_back(entry);
    }
    TraceStore store;
    if (!store.Open(sqlite, TraceStorePath(dataFolder)) || (result.trace.id = store.Add(result.trace)) == 0) {
        result.end = TracedInstallEnd::NotStored;
        return result;
    }
    result.end = TracedInstallEnd::Stored;
    return result;
}

std::optional<Trace> TraceForEntry(const inventory::TSoftInfo& entry, const platform::SqliteLibrary& sqlite,
                                   const std::wstring& dataFolder) {
    if (!sqlite.IsLoaded() || !platform::FileExists(TraceStorePath(dataFolder))) return std::nullopt;
    TraceStore store;
    if (!store.Open(sqlite, TraceStorePath(dataFolder))) return std::nullopt;
    return store.ForEntry(EntryKey(entry));
}

}  // namespace tarvo::trace
