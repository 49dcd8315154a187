#include "inventory/inventory.h"

#include <cstring>
#include <cwchar>
#include <unordered_map>

#include "common/date_time.h"
#include "inventory/entry_rules.h"
#include "common/text.h"
#include "platform/registry.h"
#include "settings/system_info.h"

namespace tarvo::inventory {

using common::Contains;
using common::NowLocal;
using common::UpperCase;

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

// A REG_DWORD as the unsigned number it is: "EstimatedSize" counts KB up to 4 TB, and
// widening it with its sign showed programs of 2 TB and more as negative sizes. Any other
// type reads as 0.
std::int64_t Dword(const platform::RegistryValue& value) noexcept {
    if (value.type != REG_DWORD || value.data.size() < sizeof(DWORD)) return 0;
    std::uint32_t number = 0;
    std::memcpy(&number, value.data.data(), sizeof number);
    return number;
}

// Only the two string types read as text; the terminator may be missing and the byte count
// odd.
std::wstring Text(const platform::RegistryValue& value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return {};
    std::wstring text(value.data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), value.data.data(), text.size() * sizeof(wchar_t));
    if (const auto zero = text.find(L'\0'); zero != std::wstring::npos) text.resize(zero);
    return text;
}

// Every value the inventory needs, through the one handle the walk opened. Querying the
// thirteen names costs one call each; sweeping all values costs one call per value present,
// and installer keys carry more values than we read, so querying is the cheaper of the two.
UninstallKeyValues ReadValues(const RegistryKey& key) {
    UninstallKeyValues values;
    for (const auto& field : kStringFields)
        if (const auto value = key.QueryValue(field.name)) values.*field.field = Text(*value);
    if (const auto value = key.QueryValue(L"SystemComponent")) values.SystemComponent = Dword(*value);
    if (const auto value = key.QueryValue(L"EstimatedSize")) values.EstimatedSize = Dword(*value);
    return values;
}

struct PendingKey {
    std::wstring path;  // with the leading backslash, as entries store it
    std::size_t depth;
};

// Walks the uninstall key tree breadth first, in the order ListKeyTree gives, opening each
// key once for both its subkeys and its values.
void ReadRoot(TSoftList& list, const wchar_t* rootName, HKEY root, RegistryView view, TDateTime now) {
    std::vector<PendingKey> keys{{kUninstallKeyPath, 0}};
    std::wstring subkey;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        RegistryKey key;
        if (key.Open(root, keys[i].path.substr(1), KEY_READ, view) != ERROR_SUCCESS) continue;
        if (keys[i].depth < kMaxDepth)
            for (DWORD index = 0; key.EnumKey(index, subkey) == ERROR_SUCCESS; ++index)
                keys.push_back({keys[i].path + L"\\" + subkey, keys[i].depth + 1});

        const UninstallKeyValues values = ReadValues(key);
        key.Close();
        if (auto entry = EntryFromKey(values, rootName, keys[i].path, view, now))
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

int InventoryPass(TSoftList* list, RegistryView view) {
    if (!list) return -1;
    const TDateTime now = NowLocal();
    ReadRoot(*list, L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE, view, now);
    ReadRoot(*list, L"HKEY_CURRENT_USER", HKEY_CURRENT_USER, view, now);
    MergePass(*list);
    return static_cast<int>(list->size());
}

void Inventory(TSoftList& list) {
    (void)InventoryPass(&list, RegistryView::Default);
    if (settings::IsWow64()) (void)InventoryPass(&list, RegistryView::Wow64_64Key);
}

}  // namespace tarvo::inventory
