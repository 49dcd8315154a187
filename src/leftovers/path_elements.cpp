#include "leftovers/path_elements.h"

#include "common/path_list.h"
#include "common/text.h"
#include "leftovers/regedit_scan.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace tarvo::leftovers {

namespace {

std::wstring Unquoted(std::wstring_view text) {
    std::wstring trimmed = common::Trim(text);
    if (trimmed.size() >= 2 && trimmed.front() == L'"' && trimmed.back() == L'"')
        trimmed = common::Trim(std::wstring_view(trimmed).substr(1, trimmed.size() - 2));
    return trimmed;
}

bool SameElement(std::wstring_view a, std::wstring_view b) { return common::EqualsIgnoreCase(Unquoted(a), Unquoted(b)); }

}  // namespace

std::vector<TPathElement> ReadPathElements(const std::function<bool(const TPathElement&)>& wanted) {
    std::vector<TPathElement> found;
    for (const auto& [root, keyPath] : {std::pair{HKEY_CURRENT_USER, kUserEnvironmentKey},
                                        std::pair{HKEY_LOCAL_MACHINE, kMachineEnvironmentKey}}) {
        platform::RegistryKey key;
        if (key.Open(root, keyPath, KEY_READ) != ERROR_SUCCESS) continue;
        const auto value = key.QueryString(kPathValueName);
        if (!value) continue;
        for (const auto& element : common::SplitPathList(*value)) {
            if (Unquoted(element).empty()) continue;
            TPathElement item{root, keyPath, element, {}};
            if (!platform::ExpandEnvironmentOf(Unquoted(element), item.expanded)) item.expanded = Unquoted(element);
            if (!wanted || wanted(item)) found.push_back(std::move(item));
        }
    }
    return found;
}

bool IsPathValue(HKEY root, const std::wstring& keyPath, const std::wstring& valueName) {
    if (!common::EqualsIgnoreCase(valueName, kPathValueName)) return false;
    std::wstring path = keyPath;
    while (!path.empty() && path.front() == L'\\') path.erase(0, 1);
    if (root == HKEY_CURRENT_USER) return common::EqualsIgnoreCase(path, kUserEnvironmentKey);
    if (root != HKEY_LOCAL_MACHINE) return false;
    // Any control set: ControlSet001 is what CurrentControlSet names.
    const std::wstring tail = L"\\Control\\Session Manager\\Environment";
    if (path.size() <= tail.size() || !common::EqualsIgnoreCase(std::wstring_view(path).substr(path.size() - tail.size()), tail))
        return false;
    const std::wstring set = path.substr(0, path.size() - tail.size());
    return common::StartsWith(common::LowerCase(set), L"system\\") && set.find(L'\\', 7) == std::wstring::npos;
}

PathEdit RemovePathElement(HKEY root, const std::wstring& keyPath, const std::wstring& element) {
    platform::RegistryKey key;
    if (key.Open(root, keyPath, KEY_READ | KEY_SET_VALUE) != ERROR_SUCCESS) return PathEdit::Failed;
    const auto value = key.QueryValue(kPathValueName);
    if (!value) return PathEdit::NotThere;
    const auto text = value->AsString();
    if (!text) return PathEdit::Failed;
    const std::wstring edited =
        common::RemovePathElements(*text, [&](std::wstring_view e) { return SameElement(e, element); });
    if (edited == *text) return PathEdit::NotThere;
    // A value that held nothing but the program's elements was the installer's own making:
    // an empty PATH left behind would be its trace.
    if (common::Trim(common::ReplaceAll(edited, L";", L"")).empty()) {
        if (key.DeleteValue(kPathValueName) != ERROR_SUCCESS) return PathEdit::Failed;
    } else {
        // REG_EXPAND_SZ stays what it was: its %SystemRoot% elements would stop working as REG_SZ.
        const DWORD type = value->type == REG_EXPAND_SZ ? REG_EXPAND_SZ : REG_SZ;
        if (key.SetString(kPathValueName, edited, type) != ERROR_SUCCESS) return PathEdit::Failed;
    }
    platform::BroadcastEnvironmentChange();
    return PathEdit::Removed;
}

void PathElementRule(TRegeditScanClasses& scan) {
    if (scan.FolderKey.empty()) return;
    const auto elements = ReadPathElements([&](const TPathElement& item) {
        return common::PathElementWithin(item.expanded, scan.FolderKey) &&
               !scan.Ownership().PointsIntoOther(item.expanded + L"\\");
    });
    for (const auto& item : elements)
        scan.RegResults.push_back({.RootKey = item.root,
                                   .KeyPath = item.keyPath,
                                   .ValueName = kPathValueName,
                                   .ValueData = item.element,
                                   .View64 = false});
}

}  // namespace tarvo::leftovers
