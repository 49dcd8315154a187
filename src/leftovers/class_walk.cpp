#include "leftovers/class_walk.h"

#include <deque>
#include <memory>
#include <vector>

#include "common/text.h"
#include "leftovers/value_text.h"
#include "platform/files.h"

namespace tarvo::leftovers {

namespace {

using common::EqualsIgnoreCase;
using common::Trim;
using platform::RegistryKey;

constexpr std::wstring_view kMachineClasses = L"software\\classes\\";

std::wstring DefaultText(const RegistryKey& key) { return ReadValueText(key, {}); }

// One key of a class's subtree waiting for its turn in the breadth-first search. Its parent
// stays open until every child has been opened, so nothing is opened twice by path.
struct PendingKey {
    std::shared_ptr<RegistryKey> parent;
    std::wstring name;
    std::wstring relative;
    std::shared_ptr<RegistryKey> opened;  // set when an earlier step already opened it
};

std::wstring Joined(const std::wstring& relative, const std::wstring& name) {
    return relative.empty() ? name : relative + L"\\" + name;
}

// The children of one key, each opened at most once whichever step asks first.
class Children {
public:
    Children(const TRegeditScanClasses& scan, std::shared_ptr<RegistryKey> key)
        : scan_(scan), key_(std::move(key)), names_(key_->SubKeyNames()), opened_(names_.size()) {}

    // The child of that name (any case), opened; null when there is none or it does not open.
    RegistryKey* Open(const wchar_t* name) {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (!EqualsIgnoreCase(names_[i], name)) continue;
            if (!opened_[i]) {
                auto child = std::make_shared<RegistryKey>();
                if (child->Open(key_->get(), names_[i], KEY_READ, scan_.View()) != ERROR_SUCCESS) return nullptr;
                opened_[i] = std::move(child);
            }
            return opened_[i].get();
        }
        return nullptr;
    }

    void AppendTo(std::deque<PendingKey>& queue, const std::wstring& relative) {
        for (std::size_t i = 0; i < names_.size(); ++i)
            queue.push_back({key_, names_[i], Joined(relative, names_[i]), std::move(opened_[i])});
    }

private:
    const TRegeditScanClasses& scan_;
    std::shared_ptr<RegistryKey> key_;
    std::vector<std::wstring> names_;
    std::vector<std::shared_ptr<RegistryKey>> opened_;
};

// The server value of classKey\<name>: trimmed, empty when the key or value is missing.
bool ServerInFolder(const TRegeditScanClasses& scan, Children& classChildren, const wchar_t* name) {
    RegistryKey* server = classChildren.Open(name);
    return server && ServerTextInFolder(scan, Trim(DefaultText(*server)));
}

std::wstring SubkeyDefault(Children& children, const wchar_t* name) {
    RegistryKey* key = children.Open(name);
    return key ? Trim(DefaultText(*key)) : std::wstring();
}

// K\command runs something in the folder.
bool CommandInFolder(const TRegeditScanClasses& scan, Children& children) {
    RegistryKey* command = children.Open(L"command");
    return command && scan.ContainsFolder(DefaultText(*command));
}

}  // namespace

std::wstring ClassesRootCounterpart(const std::wstring& machinePath) {
    std::wstring path = machinePath;
    while (!path.empty() && path.front() == L'\\') path.erase(0, 1);
    if (path.size() <= kMachineClasses.size() ||
        !EqualsIgnoreCase(std::wstring_view(path).substr(0, kMachineClasses.size()), kMachineClasses))
        return {};
    return path.substr(kMachineClasses.size());
}

void ReportWithCounterpart(TRegeditScanClasses& scan, TRuleSet& machineSet, TRuleSet& rootSet,
                           const std::wstring& name, const std::wstring& machinePath) {
    scan.ReportKey(machineSet, HKEY_LOCAL_MACHINE, name, machinePath);
    const std::wstring counterpart = ClassesRootCounterpart(machinePath);
    if (!counterpart.empty()) scan.ReportKey(rootSet, HKEY_CLASSES_ROOT, name, counterpart);
}

bool ServerTextInFolder(const TRegeditScanClasses& scan, const std::wstring& serverText) {
    if (serverText.empty()) return false;
    if (scan.ContainsFolder(serverText)) return true;
    // Only an 8.3 part ("PROGRA~1") can make the long form differ from the text; asking the
    // file system for every class on the machine would cost more than the whole walk.
    if (serverText.find(L'~') == std::wstring::npos) return false;
    return scan.ContainsFolder(LongFormOfExistingPart(serverText));
}

std::wstring LongFormOfExistingPart(const std::wstring& path) {
    const std::wstring whole = platform::LongPathOf(path);
    if (whole != path) return whole;
    // The scan runs after the uninstaller: the server file, and often its folder, are gone,
    // and the whole path has no long form any more. The part that still exists does, and
    // it is the part that spells the install folder in short names. A leading quote is kept.
    const std::size_t start = !path.empty() && path.front() == L'"' ? 1 : 0;
    for (std::size_t end = path.find_last_of(L'\\'); end != std::wstring::npos && end > start + 2;
         end = path.find_last_of(L'\\', end - 1)) {
        const std::wstring part = path.substr(start, end - start);
        const std::wstring longPart = platform::LongPathOf(part);
        if (longPart != part) return path.substr(0, start) + longPart + path.substr(end);
    }
    return path;
}

std::wstring CommandSearchName(const std::wstring& classId, const std::wstring& relativeKey) {
    return L"SOFTWARE\\Classes\\CLSID\\" + Joined(classId, relativeKey);
}

ClassVisit VisitClass(const TRegeditScanClasses& scan, HKEY clsidKey, const std::wstring& classId) {
    ClassVisit visit;
    auto classKey = std::make_shared<RegistryKey>();
    if (classKey->Open(clsidKey, classId, KEY_READ, scan.View()) != ERROR_SUCCESS) return visit;
    Children classChildren(scan, classKey);
    if (ServerInFolder(scan, classChildren, L"InprocServer32") || ServerInFolder(scan, classChildren, L"LocalServer32")) {
        visit.serverInFolder = true;
        visit.appId = Trim(ReadValueText(*classKey, L"AppID"));
        visit.typeLib = SubkeyDefault(classChildren, L"TypeLib");
        visit.progId = SubkeyDefault(classChildren, L"ProgID");
        return visit;
    }
    // Breadth first from the class key itself; the server keys opened above are not opened
    // again.
    if (CommandInFolder(scan, classChildren)) {
        visit.commandKey = std::wstring();
        return visit;
    }
    std::deque<PendingKey> queue;
    classChildren.AppendTo(queue, {});
    while (!queue.empty()) {
        PendingKey next = std::move(queue.front());
        queue.pop_front();
        std::shared_ptr<RegistryKey> key = std::move(next.opened);
        if (!key) {
            key = std::make_shared<RegistryKey>();
            if (key->Open(next.parent->get(), next.name, KEY_READ, scan.View()) != ERROR_SUCCESS) continue;
        }
        next.parent.reset();
        Children children(scan, std::move(key));
        if (CommandInFolder(scan, children)) {
            visit.commandKey = next.relative;
            return visit;
        }
        children.AppendTo(queue, next.relative);
    }
    return visit;
}

bool TypeLibInFolder(const TRegeditScanClasses& scan, HKEY parent, const std::wstring& name) {
    RegistryKey key;
    if (key.Open(parent, name, KEY_READ, scan.View()) != ERROR_SUCCESS) return false;
    // The names are read first: most keys of a library have no "win32" below them, and a
    // failed open costs as much as the enumeration that answers the question anyway.
    const auto subkeys = key.SubKeyNames();
    for (const auto& subkey : subkeys) {
        if (!EqualsIgnoreCase(subkey, L"win32")) continue;
        RegistryKey win32;
        return win32.Open(key.get(), subkey, KEY_READ, scan.View()) == ERROR_SUCCESS &&
               scan.ContainsFolder(DefaultText(win32));
    }
    for (const auto& subkey : subkeys)
        if (TypeLibInFolder(scan, key.get(), subkey)) return true;
    return false;
}

}  // namespace tarvo::leftovers
