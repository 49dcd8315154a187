#include "addons/plugin_item.h"

#include "addons/addon_text.h"

namespace tarvo::addons {

void RefreshMergeKeys(TPluginItem& item) {
    item.MergeKey = CaseKey(item.Caption + L'\x1' + item.Description + L'\x1' + item.Version);
    item.IdKey = CaseKey(item.Id);
}

}  // namespace tarvo::addons
