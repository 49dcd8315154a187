#pragma once
// Language packs: "<folder>\<name>.lng" files that override the English texts built into the
// program. Every text the user sees is looked up by key, with its built-in English text as
// the fallback; windows are re-captioned by the design names of their controls.

#include <string>
#include <unordered_map>
#include <vector>

#include "language/shared_texts.h"
#include "language/translation.h"
#include "settings/ext_ini_file.h"

namespace tarvo::settings {
class TMainIni;
}

namespace tarvo::language {

inline constexpr wchar_t kApplicationName[] = L"Uninstaller";
inline constexpr wchar_t kDefaultLanguage[] = L"English";
inline constexpr wchar_t kLanguageFileExtension[] = L".lng";

class TLanguage {
public:
    // The folder starts as the running program's folder + "Language".
    explicit TLanguage(std::wstring appName = kApplicationName);
    TLanguage(const TLanguage&) = delete;
    TLanguage& operator=(const TLanguage&) = delete;

    // A trailing backslash is dropped.
    void SetFolder(const std::wstring& folder);
    [[nodiscard]] const std::wstring& Folder() const noexcept { return folder_; }
    [[nodiscard]] const std::wstring& AppName() const noexcept { return appName_; }

    // Loads "<folder>\<name>.lng", or English when that file is missing. When neither exists,
    // or the file cannot be read, nothing changes and false comes back.
    bool LoadLanguage(const std::wstring& name);
    [[nodiscard]] bool IsLoaded() const noexcept { return !currentName_.empty(); }

    // The text after the first "=" of the message line for `key` (case-insensitive), even
    // when that text is empty; `defaultText` unchanged when there is no such line.
    [[nodiscard]] std::wstring GetText(const std::wstring& key, const std::wstring& defaultText) const;
    // A raw read from the loaded file.
    [[nodiscard]] std::wstring ReadText(const std::wstring& section, const std::wstring& key,
                                        const std::wstring& defaultText) const;

    // Re-captions the parts of the window named `windowName` from its section. A window
    // without a name is skipped; the first part that cannot be read or written ends the
    // translation (false). Each part keeps its design texts at its first translation.
    bool TranslateComponent(const std::wstring& windowName, std::vector<TranslationTarget>& targets) const;
    // TranslateComponent for every live TTranslatableWindow of this language, oldest first.
    void TranslateAll();

    // Lists "<folder>\*.lng" in directory order into the language names and, when asked,
    // their display names, without disturbing the loaded language.
    void ListLanguages(const std::wstring& folder, bool withDisplayNames);
    [[nodiscard]] const std::vector<std::wstring>& LanguageNames();
    [[nodiscard]] const std::vector<std::wstring>& DisplayNames();
    // Empty until a language was loaded.
    [[nodiscard]] const std::wstring& CurrentName() const noexcept { return currentName_; }
    [[nodiscard]] const std::wstring& CurrentDisplayName() const noexcept { return currentDisplayName_; }

    // Refreshes the shared texts from the loaded language.
    void LoadDefaultTexts();
    [[nodiscard]] const TSharedTexts& Texts() const noexcept { return texts_; }

private:
    friend class TTranslatableWindow;
    void Register(TTranslatableWindow* window);
    void Unregister(TTranslatableWindow* window) noexcept;

    [[nodiscard]] std::wstring FileOf(const std::wstring& name) const;

    std::wstring appName_;
    std::wstring folder_;
    std::wstring currentName_;
    std::wstring currentDisplayName_;
    std::vector<std::wstring> names_;
    std::vector<std::wstring> displayNames_;
    settings::TExtIniFile document_;
    // Upper-cased key -> text of the "<application>_M" section.
    std::unordered_map<std::wstring, std::wstring> messages_;
    TSharedTexts texts_;
    std::vector<TTranslatableWindow*> windows_;
};

// The one language of the running program, which every window and message look-up uses.
[[nodiscard]] TLanguage& AppLanguage();

// The start-up order: the language folder below the program folder (just "Language" when
// the program folder is unknown), the language Main.ini names, then the shared texts.
void StartAppLanguage(const std::wstring& programFolder, const settings::TMainIni& mainIni);

// The program language's text for `key` (case-insensitive), even when that text is empty;
// `defaultText` unchanged when the language has no such line.
[[nodiscard]] std::wstring GetText(const std::wstring& key, const std::wstring& defaultText);
// The program language's shared texts.
[[nodiscard]] const TSharedTexts& SharedTexts();
void LoadDefaultTexts();

}  // namespace tarvo::language
