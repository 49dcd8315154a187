#include "language/language_menu.h"

#include "language/language.h"
#include "settings/main_ini.h"

namespace tarvo::language {

TLanguageDisplayName::TLanguageDisplayName(TLanguage& language, const settings::TMainIni& mainIni,
                                           std::wstring folder, AfterSwitch afterSwitch)
    : language_(language), mainIni_(mainIni), folder_(std::move(folder)), afterSwitch_(std::move(afterSwitch)) {}

bool TLanguageDisplayName::BuildMenu(const std::function<void()>& pump) {
    if (built_) return false;
    language_.ListLanguages(folder_, true);
    const auto& names = language_.LanguageNames();
    const auto& displayNames = language_.DisplayNames();
    items_.clear();
    checked_.reset();
    for (std::size_t i = 0; i < names.size() && i < displayNames.size(); ++i) {
        if (pump) pump();
        TLanguageMenuItem item{displayNames[i], names[i], false};
        // Two files may share a display name; the first of them carries the check mark.
        if (!checked_ && item.caption == language_.CurrentDisplayName()) {
            item.checked = true;
            checked_ = i;
        }
        items_.push_back(std::move(item));
    }
    built_ = true;
    return true;
}

bool TLanguageDisplayName::Click(std::size_t index) {
    if (index >= items_.size() || checked_ == index) return false;
    if (checked_) items_[*checked_].checked = false;
    items_[index].checked = true;
    checked_ = index;
    const std::wstring name = items_[index].hint;
    (void)mainIni_.SetLanguage(name);
    language_.LoadLanguage(name);
    language_.TranslateAll();
    language_.LoadDefaultTexts();
    if (afterSwitch_) {
        try {
            afterSwitch_();
        } catch (...) {
            // The pages refresh what they can; a failure there must not undo the switch.
        }
    }
    return true;
}

}  // namespace tarvo::language
