#include "trace/traced_scan.h"

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"
#include "language/language.h"
#include "leftovers/exclusion.h"
#include "platform/messages.h"
#include "platform/services.h"
#include "trace/put_back.h"
#include "trace/traced_install.h"
#include "trace/traced_tree.h"

namespace tarvo::trace {

namespace {

// The folders the recorded files lie in that were there before the installation (the
// system's Tasks folder, a shared vendor folder): the removal empties what it empties, but
// never one of these away.
void KeepFoldersThatWereThere(const std::vector<TraceItem>& items, leftovers::TResultTree& tree) {
    std::vector<std::wstring> created;
    for (const TraceItem& item : items)
        if (item.kind == TraceItemKind::FolderCreated) created.push_back(leftovers::FolderForm(item.path));
    for (const TraceItem& item : items) {
        if (item.IsRegistry()) continue;
        const std::size_t cut = item.path.find_last_of(L'\\');
        if (cut == std::wstring::npos) continue;
        const std::wstring parent = leftovers::FolderForm(item.path.substr(0, cut));
        if (parent.empty() || std::find(created.begin(), created.end(), parent) != created.end()) continue;
        if (std::find(tree.KeepFolders.begin(), tree.KeepFolders.end(), parent) == tree.KeepFolders.end())
            tree.KeepFolders.push_back(parent);
    }
}

}  // namespace

TracedScan AddTracedNodes(const std::vector<const inventory::TSoftInfo*>& entries, leftovers::TResultTree& tree,
                          const platform::SqliteLibrary& sqlite, const std::wstring& dataFolder) {
    TracedScan scan;
    // Walked backwards, each node is put before the ones already added: the entries' order.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (!*it) continue;
        const auto traced = TraceForEntry(**it, sqlite, dataFolder);
        if (!traced) continue;
        (void)AddTracedNode(*traced, (*it)->DisplayName, tree);
        KeepFoldersThatWereThere(traced->items, tree);
        scan.changedValues |= std::any_of(traced->items.begin(), traced->items.end(), [](const TraceItem& i) {
            return i.kind == TraceItemKind::ValueChanged;
        });
        scan.items.insert(scan.items.end(), traced->items.begin(), traced->items.end());
    }
    return scan;
}

std::vector<std::wstring> CreatedServices(const std::vector<TraceItem>& items) {
    static constexpr std::wstring_view kServices = L"system\\currentcontrolset\\services\\";
    std::vector<std::wstring> names;
    for (const TraceItem& item : items) {
        if (item.kind != TraceItemKind::KeyCreated || !common::EqualsIgnoreCase(item.root, L"HKEY_LOCAL_MACHINE")) continue;
        const std::wstring lower = common::LowerCase(item.path);
        if (!lower.starts_with(kServices)) continue;
        const std::wstring name = item.path.substr(kServices.size());
        if (!name.empty() && name.find(L'\\') == std::wstring::npos) names.push_back(name);
    }
    return names;
}

PutBackOutcome PutBackBeforeRemoval(const std::vector<TraceItem>& items, leftovers::TRemovalBackup* backup) {
    PutBackOutcome outcome;
    // A service the installer made is stopped and deleted through the manager before its key
    // goes: deleting the key alone would leave a running service running and still listed.
    for (const std::wstring& name : CreatedServices(items)) {
        const platform::ServiceRemoval removal = platform::StopAndDeleteService(name);
        if (removal == platform::ServiceRemoval::Deleted || removal == platform::ServiceRemoval::DeletedAtRestart)
            outcome.lines.push_back(language::GetText(L"Trace_Service_M", L"Service stopped and deleted:") + L" " + name);
    }
    PutBackActions actions = DefaultPutBackActions();
    if (backup)
        actions.save = [backup](const platform::RegistryLocation& key, const std::wstring& value) {
            return backup->SaveValue(key, value);
        };
    PutBackReport report = PutBackChangedValues(items, actions);
    outcome.lines.insert(outcome.lines.end(), report.lines.begin(), report.lines.end());
    outcome.failed = report.failed;
    return outcome;
}

void AnnounceEnvironmentChange(const std::vector<TraceItem>& items) {
    if (TouchesEnvironment(items)) platform::BroadcastEnvironmentChange();
}

bool LooksLikeSetup(const std::wstring& path) {
    const std::wstring name = common::LowerCase(common::NamePart(path));
    if (name.ends_with(L".msi")) return true;
    if (!name.ends_with(L".exe")) return false;
    return name.find(L"setup") != std::wstring::npos || name.find(L"install") != std::wstring::npos;
}

}  // namespace tarvo::trace
