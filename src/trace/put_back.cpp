#include "trace/put_back.h"

#include <algorithm>

#include "common/path_list.h"
#include "common/text.h"
#include "language/language.h"
#include "leftovers/value_text.h"

namespace tarvo::trace {

using language::GetText;

namespace {

bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::wstring StringOf(DWORD type, const std::vector<BYTE>& data) {
    platform::RegistryValue value{type, data};
    return value.AsString().value_or(L"");
}

std::vector<BYTE> BytesOf(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return {bytes, bytes + (text.size() + 1) * sizeof(wchar_t)};
}

// Elements compare as the system reads them: blanks around them and letter case aside.
std::wstring ElementKey(std::wstring_view element) {
    return common::LowerCase(common::Trim(element));
}

std::wstring ItemText(const TraceItem& item) {
    return item.root + L"\\" + item.path + L"\\" + (item.valueName.empty() ? L"(Default)" : item.valueName);
}

}  // namespace

std::vector<std::wstring> AddedElements(const std::wstring& before, const std::wstring& after) {
    const std::vector<std::wstring> old = common::SplitPathList(before);
    const std::vector<std::wstring> now = common::SplitPathList(after);
    std::vector<std::wstring> added;
    std::size_t next = 0;  // the next element of `old` to find in `now`
    for (const std::wstring& element : now) {
        if (next < old.size() && ElementKey(old[next]) == ElementKey(element)) {
            ++next;
            continue;
        }
        if (!ElementKey(element).empty()) added.push_back(element);
    }
    // The old elements must all still stand, in their order; otherwise this was no append.
    for (; next < old.size(); ++next)
        if (!ElementKey(old[next]).empty()) return {};
    return added;
}

PutBack DecidePutBack(const TraceItem& changed, const std::optional<platform::RegistryValue>& now) {
    PutBack result;
    if (changed.kind != TraceItemKind::ValueChanged || !now) return result;
    if (IsString(changed.typeBefore) && IsString(changed.typeAfter) && IsString(now->type)) {
        const std::vector<std::wstring> added =
            AddedElements(StringOf(changed.typeBefore, changed.before), StringOf(changed.typeAfter, changed.after));
        if (!added.empty()) {
            std::vector<std::wstring> pending;
            for (const auto& element : added) pending.push_back(ElementKey(element));
            const std::wstring present = now->AsString().value_or(L"");
            // Each added element goes once, as often as the installer added it.
            const std::wstring kept = common::RemovePathElements(present, [&pending](std::wstring_view element) {
                const auto it = std::find(pending.begin(), pending.end(), ElementKey(element));
                if (it == pending.end()) return false;
                pending.erase(it);
                return true;
            });
            if (kept == present) return result;
            result.action = PutBackAction::DropElements;
            result.type = now->type;
            result.data = BytesOf(kept);
            return result;
        }
    }
    if (now->type != changed.typeAfter || now->data != changed.after) return result;
    result.action = PutBackAction::Restore;
    result.type = changed.typeBefore;
    result.data = changed.before;
    return result;
}

bool IsEnvironmentKey(const std::wstring& keyPath) {
    const std::wstring lower = common::LowerCase(keyPath);
    return lower == L"environment" || lower.ends_with(L"\\environment");
}

bool TouchesEnvironment(const std::vector<TraceItem>& items) {
    return std::any_of(items.begin(), items.end(), [](const TraceItem& item) {
        return (item.kind == TraceItemKind::ValueCreated || item.kind == TraceItemKind::ValueChanged) &&
               IsEnvironmentKey(item.path);
    });
}

PutBackActions DefaultPutBackActions() {
    PutBackActions actions;
    actions.read = [](const platform::RegistryLocation& key, const std::wstring& name) {
        platform::RegistryKey open;
        if (open.Open(key.root, key.path, KEY_READ, key.view) != ERROR_SUCCESS)
            return std::optional<platform::RegistryValue>{};
        return open.QueryValue(name);
    };
    actions.write = [](const platform::RegistryLocation& key, const std::wstring& name, DWORD type,
                       const std::vector<BYTE>& data) {
        platform::RegistryKey open;
        if (open.Open(key.root, key.path, KEY_SET_VALUE, key.view) != ERROR_SUCCESS) return false;
        return open.SetValue(name, type, data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    };
    return actions;
}

PutBackReport PutBackChangedValues(const std::vector<TraceItem>& items, const PutBackActions& actions) {
    PutBackReport report;
    for (const TraceItem& item : items) {
        if (item.kind != TraceItemKind::ValueChanged) continue;
        const auto key = platform::RegistryLocation::FromNames(item.root, item.path, item.view64);
        const PutBack decision = DecidePutBack(item, actions.read(key, item.valueName));
        if (decision.action == PutBackAction::None) {
            ++report.leftAlone;
            report.lines.push_back(GetText(L"Trace_Changed_Since_M", L"Left as it is, changed since the installation:") +
                                   L" " + ItemText(item));
            continue;
        }
        if (actions.save && !actions.save(key, item.valueName)) {
            ++report.failed;
            report.lines.push_back(GetText(L"Removal_NoBackup_M", L"Left alone, its backup could not be written:") +
                                   L" " + ItemText(item));
            continue;
        }
        if (!actions.write(key, item.valueName, decision.type, decision.data)) {
            ++report.failed;
            report.lines.push_back(GetText(L"Trace_PutBack_Failed_M", L"Could not put back:") + L" " + ItemText(item));
            continue;
        }
        ++report.restored;
        if (IsEnvironmentKey(item.path)) report.environmentChanged = true;
        report.lines.push_back((decision.action == PutBackAction::Restore
                                    ? GetText(L"Trace_Restored_M", L"Put back as before the installation:")
                                    : GetText(L"Trace_Elements_M", L"Took the installer's elements out of:")) +
                               L" " + ItemText(item) + L" = " +
                               leftovers::ValueText(decision.type, decision.data.data(), decision.data.size()));
    }
    return report;
}

}  // namespace tarvo::trace
