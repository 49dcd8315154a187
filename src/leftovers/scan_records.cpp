#include "leftovers/scan_records.h"

#include "common/text.h"

namespace tarvo::leftovers {

bool TRuleSet::Contains(const std::wstring& name) const { return names_.count(common::LowerCase(name)) != 0; }

TRegeditItemGroup& TRuleSet::Add(const std::wstring& name) {
    auto& slot = names_[common::LowerCase(name)];
    if (!slot) slot = std::make_unique<TRegeditItemGroup>();
    return *slot;
}

void TRuleSet::Remove(const std::wstring& name) { names_.erase(common::LowerCase(name)); }

TRegeditItemGroup* TRuleSet::Find(const std::wstring& name) const {
    const auto it = names_.find(common::LowerCase(name));
    return it == names_.end() ? nullptr : it->second.get();
}

}  // namespace tarvo::leftovers
