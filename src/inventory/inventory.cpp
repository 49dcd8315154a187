#include "inventory/inventory.h"

#include <cstring>
#include <cwchar>
#include <unordered_map>

#include "inventory/date_time.h"
#include "inventory/entry_rules.h"
#include "inventory/text_util.h"
#include "platform/registry.h"
#include "platform/registry_values.h"
#include "settings/system_info.h"

namespace tarvo::inventory {

namespace {

using platform::RegistryKey;
using platform::RegistryView;

// Windows refuses to nest keys deeper than this; a registry link that loops must not walk
// us forever.
constexpr std::size_t kMaxDepth = 512;

struct StringField {
    const wchar_t* name;
    std::wstring UninstallKeyValues::*field;
};

const StringField kStringFields[] = {
    {L"DisplayName", &UninstallKeyValues::DisplayName},
    {L"UninstallString", &UninstallKeyValues::UninstallString},
    {L"Publisher", &UninstallKeyValues::Publisher},
    {L"HelpLink", &UninstallKeyValues::HelpLink},
    {L"DisplayVersion", &UninstallKeyValues::DisplayVersion},
    {L"URLInfoAbout", &UninstallKeyValues::URLInfoAbout},
    {L"URLUpdateInfo", &UninstallKeyValues::URLUpdateInfo},
    {L"InstallDate", &UninstallKeyValues::InstallDate},
    {L"InstallLocation", &UninstallKeyValues::InstallLocation},
    {L"DisplayIcon", &UninstallKeyValues::DisplayIcon},
    {L"Readme", &UninstallKeyValues::Readme},
};

bool SameName(std::wstring_view a, const wchar_t* b) noexcept {
    return a.size() == std::wcslen(b) && _wcsnicmp(a.data(), b, a.size()) == 0;
}

// Collects the values the inventory needs from one sweep over the key's values: one
// registry call per value instead of one open and one query per value read.
class ValueCollector final : public platform::RegistryValueSweep::Visitor {
public:
    UninstallKeyValues values;

    void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) noexcept override {
        try {
            if (SameName(name, L"SystemComponent")) {
                values.SystemComponent = Dword(type, data, size);
                return;
            }
            if (SameName(name, L"EstimatedSize")) {
                values.EstimatedSize = Dword(type, data, size);
                return;
            }
            for (const auto& field : kStringFields)
                if (SameName(name, field.name)) {
                    values.*field.field = Text(type, data, size);
                    return;
                }
        } catch (...) {
            // Out of memory for one value: the entry goes on without it.
        }
    }

private:
    // A REG_DWORD widened with its sign; any other type reads as 0.
    static std::int64_t Dword(DWORD type, const BYTE* data, DWORD size) noexcept {
        if (type != REG_DWORD || size < sizeof(DWORD)) return 0;
        std::int32_t value = 0;
        std::memcpy(&value, data, sizeof value);
        return value;
    }
    // Only the two string types read as text; the terminator may be missing and the byte
    // count odd.
    static std::wstring Text(DWORD type, const BYTE* data, DWORD size) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
        std::wstring text(size / sizeof(wchar_t), L'\0');
        if (!text.empty()) std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
        if (const auto zero = text.find(L'\0'); zero != std::wstring::npos) text.resize(zero);
        return text;
    }
};

struct PendingKey {
    std::wstring path;  // with the leading backslash, as entries store it
    std::size_t depth;
};

// Walks the uninstall key tree breadth first, in the order ListKeyTree gives, opening each
// key once for both its subkeys and its values.
void ReadRoot(TSoftList& list, const wchar_t* rootName, HKEY root, bool view64, TDateTime now,
              platform::RegistryValueSweep& sweep) {
    const RegistryView view = view64 ? RegistryView::Wow64_64Key : RegistryView::Default;
    std::vector<PendingKey> keys{{kUninstallKeyPath, 0}};
    std::wstring subkey;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        RegistryKey key;
        if (key.Open(root, keys[i].path.substr(1), KEY_READ, view) != ERROR_SUCCESS) continue;
        if (keys[i].depth < kMaxDepth)
            for (DWORD index = 0; key.EnumKey(index, subkey) == ERROR_SUCCESS; ++index)
                keys.push_back({keys[i].path + L"\\" + subkey, keys[i].depth + 1});

        ValueCollector collector;
        (void)sweep.Sweep(key.get(), collector);
        key.Close();
        if (auto entry = EntryFromKey(collector.values, rootName, keys[i].path, view64, now))
            list.push_back(std::make_unique<TSoftInfo>(std::move(*entry)));
    }
}

}  // namespace

void MergePass(TSoftList& list) {
    // Only entries of the same name can meet, so each is compared with its own group
    // instead of with every later entry; the order within a group is the list order.
    std::unordered_map<std::wstring, std::vector<std::size_t>> groups;
    std::vector<std::vector<std::size_t>*> groupOf(list.size(), nullptr);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i]->Hidden) continue;
        auto& group = groups[UpperCase(list[i]->DisplayName)];
        group.push_back(i);
        groupOf[i] = &group;
    }

    for (std::size_t i = 0; i < list.size(); ++i) {
        TSoftInfo& e = *list[i];
        if (e.Hidden) continue;
        if (e.SystemComponent && Contains(UpperCase(e.UninstallString), L"MSIEXEC.EXE /")) {
            e.Hidden = true;
            continue;
        }
        for (const std::size_t j : *groupOf[i]) {
            if (j <= i || list[j]->Hidden) continue;
            TSoftInfo& f = *list[j];
            if (e.SystemComponent) {
                e.Hidden = true;
                MergeEntries(f, e);
                break;
            }
            f.Hidden = true;
            MergeEntries(e, f);
        }
    }
}

int InventoryPass(TSoftList* list, bool view64) {
    if (!list) return -1;
    const TDateTime now = NowLocal();
    platform::RegistryValueSweep sweep;
    ReadRoot(*list, L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE, view64, now, sweep);
    ReadRoot(*list, L"HKEY_CURRENT_USER", HKEY_CURRENT_USER, view64, now, sweep);
    MergePass(*list);
    return static_cast<int>(list->size());
}

void Inventory(TSoftList& list) {
    (void)InventoryPass(&list, false);
    if (settings::IsWow64()) (void)InventoryPass(&list, true);
}

}  // namespace tarvo::inventory
