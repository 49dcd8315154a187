#include "language/translation.h"

#include "language/language.h"

namespace tarvo::language {

std::wstring TranslationKey(const std::wstring& name, TranslationKind kind, std::size_t index) {
    switch (kind) {
    case TranslationKind::Caption:
        return name + L".Caption";
    case TranslationKind::Hint:
        return name + L".Hint";
    case TranslationKind::Items:
        return name + L".Items[" + std::to_wstring(index) + L"].Caption";
    case TranslationKind::Columns:
        return name + L".Columns[" + std::to_wstring(index) + L"].Caption";
    }
    return name;
}

bool TLanguage::TranslateComponent(const std::wstring& windowName, std::vector<TranslationTarget>& targets) const {
    if (windowName.empty()) return true;
    const std::wstring section = appName_ + L"_" + windowName;
    for (auto& target : targets) {
        if (!target.read || !target.write) return false;
        std::optional<TextList> current;
        try {
            current = target.read();
        } catch (...) {
            return false;
        }
        if (!current) return false;
        if (!target.design) target.design = *current;
        // Parts whose item count changed since the design (a combo box filled later) have
        // no design text to fall back to, only what they show now.
        const TextList& fallback = target.design->size() == current->size() ? *target.design : *current;
        const bool single = target.kind == TranslationKind::Caption || target.kind == TranslationKind::Hint;
        TextList texts;
        texts.reserve(current->size());
        for (std::size_t i = 0; i < current->size(); ++i)
            texts.push_back(ReadText(section, TranslationKey(target.name, target.kind, single ? 0 : i), fallback[i]));
        if (texts == *current) continue;
        try {
            if (!target.write(texts)) return false;
        } catch (...) {
            return false;
        }
    }
    return true;
}

TTranslatableWindow::TTranslatableWindow(TLanguage& language, std::wstring windowName)
    : language_(language), name_(std::move(windowName)) {
    language_.Register(this);
}

TTranslatableWindow::~TTranslatableWindow() { language_.Unregister(this); }

bool TTranslatableWindow::Translate() { return language_.TranslateComponent(name_, targets_); }

}  // namespace tarvo::language
