#include "leftovers/system_removal.h"

#include "common/text.h"
#include "language/language.h"
#include "leftovers/path_elements.h"
#include "leftovers/scheduled_tasks.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/task_scheduler.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;

bool IsControlSetName(const std::wstring& name) {
    const std::wstring lower = LowerCase(name);
    if (lower == L"currentcontrolset") return true;
    if (lower.size() != 13 || lower.compare(0, 10, L"controlset") != 0) return false;
    for (std::size_t i = 10; i < lower.size(); ++i)
        if (lower[i] < L'0' || lower[i] > L'9') return false;
    return true;
}

TSystemStep RemoveService(const std::wstring& name) {
    TSystemStep step;
    switch (platform::StopAndDeleteService(name)) {
        case platform::ServiceRemoval::DeletedAtRestart:
            // The manager deletes its key itself once the service is gone; deleting it now
            // would leave the manager a service it can no longer read.
            step.handled = step.removed = true;
            step.notice = language::GetText(L"Removal_Service_Restart_M",
                                            L"The service could not be stopped and will be removed when Windows "
                                            L"restarts:") +
                          L" " + name;
            break;
        case platform::ServiceRemoval::Deleted:
        case platform::ServiceRemoval::NotFound:
        case platform::ServiceRemoval::Failed:
            // Whatever the manager said, the key goes the plain way if it is still there.
            break;
    }
    return step;
}

void RemoveTask(const std::wstring& taskName) {
    // XP's .job files have no such interface: the scheduler there reads its folder, so the
    // file going is the task going.
    if (taskName.empty() || (taskName.size() > 4 && common::EqualsIgnoreCase(taskName.substr(taskName.size() - 4), L".job")))
        return;
    const platform::ComApartment com;
    (void)platform::DeleteScheduledTask(taskName);
}

}  // namespace

std::wstring ServiceNameOfKey(HKEY root, const std::wstring& keyPath) {
    if (root != HKEY_LOCAL_MACHINE) return {};
    std::wstring path = keyPath;
    while (!path.empty() && path.front() == L'\\') path.erase(0, 1);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    std::vector<std::wstring> parts;
    for (std::size_t start = 0;;) {
        const auto end = path.find(L'\\', start);
        parts.push_back(path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    if (parts.size() != 4 || !common::EqualsIgnoreCase(parts[0], L"SYSTEM") || !IsControlSetName(parts[1]) ||
        !common::EqualsIgnoreCase(parts[2], L"services") || parts[3].empty())
        return {};
    return parts[3];
}

TSystemStep RemoveThroughSystem(const TMyTreeData& item) {
    if (item.NodeKind != nkItem) return {};
    if (item.ItemKind == FindingKind::File) {
        if (item.FileKind == PathKind::File) RemoveTask(TaskNameOfFile(item.FilePath));
        return {};
    }
    if (IsValueItem(item)) {
        if (!IsPathValue(item.RootKey, item.KeyPath, item.ValueName)) return {};
        const PathEdit edit = RemovePathElement(item.RootKey, item.KeyPath, item.ValueData);
        return {.handled = true, .removed = edit != PathEdit::Failed, .notice = {}};
    }
    if (const std::wstring service = ServiceNameOfKey(item.RootKey, item.KeyPath); !service.empty())
        return RemoveService(service);
    RemoveTask(TaskNameOfCacheKey(item.RootKey, item.KeyPath));
    return {};
}

}  // namespace tarvo::leftovers
