#pragma once
// The language submenu: one item per language file, the current one checked, a click
// switching the whole program. The window turns the items into real menu items and forwards
// their clicks here.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::settings {
class TMainIni;
}

namespace tarvo::language {

class TLanguage;

struct TLanguageMenuItem {
    std::wstring caption;  // the display name
    std::wstring hint;     // the language name, which is what Main.ini stores
    bool checked = false;
};

class TLanguageDisplayName {
public:
    // What the program does once the new language is loaded, the windows are translated and
    // the shared texts refreshed: the main window's own texts, the programs page's header
    // and list, the add-on page. Failures there are not the switch's concern.
    using AfterSwitch = std::function<void()>;

    TLanguageDisplayName(TLanguage& language, const settings::TMainIni& mainIni, std::wstring folder,
                         AfterSwitch afterSwitch = {});

    // Lists the languages once; later calls do nothing and return false. `pump` runs before
    // each item so that the window stays responsive while many files are read.
    bool BuildMenu(const std::function<void()>& pump = {});
    [[nodiscard]] bool IsBuilt() const noexcept { return built_; }
    [[nodiscard]] const std::vector<TLanguageMenuItem>& Items() const noexcept { return items_; }
    [[nodiscard]] std::optional<std::size_t> CheckedIndex() const noexcept { return checked_; }

    // The user picked an item. Picking the checked one, or an index out of range, does
    // nothing (false); otherwise the language switches and true comes back.
    bool Click(std::size_t index);

private:
    TLanguage& language_;
    const settings::TMainIni& mainIni_;
    std::wstring folder_;
    AfterSwitch afterSwitch_;
    bool built_ = false;
    std::vector<TLanguageMenuItem> items_;
    std::optional<std::size_t> checked_;
};

}  // namespace tarvo::language
