#include "addons/plugin_item.h"

#include "addons/addon_text.h"

#include <functional>

namespace tarvo::addons {

void RefreshMergeKeys(TPluginItem& item) {
    item.MergeKey = CaseKey(item.Caption + L'\x1' + item.Description + L'\x1' + item.Version);
    item.IdKey = CaseKey(item.Id);
    item.MergeHash = std::hash<std::wstring>{}(item.MergeKey);
    item.IdHash = std::hash<std::wstring>{}(item.IdKey);
}

}  // namespace tarvo::addons
