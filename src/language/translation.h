#pragma once
// Re-captioning a window from the language file. A window lists its translatable parts, each
// by its design name and kind, with two callbacks that read and write its texts; the
// language file names them as "<design name>.Caption", ".Hint", ".Items[i].Caption" or
// ".Columns[i].Caption" in the section "<application>_<window name>". The callbacks are the
// only place that touches a real control (see ui/translate_window.h).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::language {

class TLanguage;

enum class TranslationKind {
    Caption,  // label, button, group box, check box, radio button, tab sheet, menu item, fold panel
    Hint,     // a tooltip text
    Items,    // multi-label items, combo box and check list box items, tree nodes in absolute order
    Columns,  // list-view column captions
};

// The texts of one part, in key order: a single text for a caption or hint.
using TextList = std::vector<std::wstring>;

struct TranslationTarget {
    std::wstring name;  // the design name, e.g. "RdImageButton_Delete"
    TranslationKind kind = TranslationKind::Caption;
    // nullopt when the control cannot be read, which ends the window's translation.
    std::function<std::optional<TextList>()> read;
    // False when the control refused a text, which ends the window's translation.
    std::function<bool(const TextList&)> write;
    // The texts the window was designed with, kept at its first translation: a key that the
    // language lacks gives back the design text rather than whatever language came before.
    std::optional<TextList> design = std::nullopt;
};

// "RdImageButton_Delete.Caption", "ListView_Log.Columns[2].Caption" …; index is ignored
// for captions and hints.
[[nodiscard]] std::wstring TranslationKey(const std::wstring& name, TranslationKind kind, std::size_t index = 0);

// The parts of one window, translated as one: a window of ours keeps one of these for its
// whole life. While it lives, its language's TranslateAll reaches it.
class TTranslatableWindow {
public:
    TTranslatableWindow(TLanguage& language, std::wstring windowName);
    ~TTranslatableWindow();
    TTranslatableWindow(const TTranslatableWindow&) = delete;
    TTranslatableWindow& operator=(const TTranslatableWindow&) = delete;

    [[nodiscard]] const std::wstring& Name() const noexcept { return name_; }
    void Add(TranslationTarget target) { targets_.push_back(std::move(target)); }
    [[nodiscard]] std::vector<TranslationTarget>& Targets() noexcept { return targets_; }
    // Applies the loaded language; false when a control failed and the rest was skipped.
    bool Translate();

private:
    TLanguage& language_;
    std::wstring name_;
    std::vector<TranslationTarget> targets_;
};

}  // namespace tarvo::language
