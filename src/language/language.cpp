#include "language/language.h"

#include <algorithm>
#include <iterator>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "settings/main_ini.h"

namespace tarvo::language {

namespace {

constexpr wchar_t kMainSection[] = L"Main";
constexpr wchar_t kDisplayNameKey[] = L"DisplayName";
constexpr wchar_t kLanguageSubFolder[] = L"Language";

std::wstring WithoutTrailingBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

std::wstring ProgramLanguageFolder(const std::wstring& programFolder) {
    if (programFolder.empty()) return kLanguageSubFolder;
    return WithoutTrailingBackslash(programFolder) + L"\\" + kLanguageSubFolder;
}

std::wstring RunningProgramFolder() {
    const std::wstring exe = platform::GetModuleFilePath();
    const auto slash = exe.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash);
}

bool EndsWithExtension(const std::wstring& fileName) {
    const std::size_t length = std::size(kLanguageFileExtension) - 1;
    return fileName.size() > length &&
           platform::EqualsIgnoreCase(fileName.substr(fileName.size() - length), kLanguageFileExtension);
}

}  // namespace

TLanguage::TLanguage(std::wstring appName)
    : appName_(std::move(appName)), folder_(ProgramLanguageFolder(RunningProgramFolder())) {}

void TLanguage::SetFolder(const std::wstring& folder) { folder_ = WithoutTrailingBackslash(folder); }

std::wstring TLanguage::FileOf(const std::wstring& name) const {
    return folder_ + L"\\" + name + kLanguageFileExtension;
}

bool TLanguage::LoadLanguage(const std::wstring& name) {
    std::wstring chosen = name;
    if (!platform::FileExists(FileOf(chosen))) {
        chosen = kDefaultLanguage;
        if (!platform::FileExists(FileOf(chosen))) return false;
    }
    // A file that exists but cannot be read leaves the previous language whole, rather than
    // a half-switched one whose name no longer matches its texts.
    settings::TExtIniFile document;
    if (!document.LoadFromFile(FileOf(chosen))) return false;

    document_ = std::move(document);
    currentName_ = chosen;
    currentDisplayName_ = document_.ReadString(kMainSection, kDisplayNameKey, chosen);
    messages_.clear();
    for (const auto& line : document_.ReadSectionValues(appName_ + L"_M")) {
        const auto equals = line.find(L'=');
        if (equals == std::wstring::npos || equals == 0) continue;
        // The first line of a key answers, as a look-up in the file itself would.
        messages_.try_emplace(platform::UpperCase(line.substr(0, equals)), line.substr(equals + 1));
    }
    return true;
}

std::wstring TLanguage::GetText(const std::wstring& key, const std::wstring& defaultText) const {
    if (messages_.empty()) return defaultText;
    const auto found = messages_.find(platform::UpperCase(key));
    return found == messages_.end() ? defaultText : found->second;
}

std::wstring TLanguage::ReadText(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& defaultText) const {
    return document_.ReadString(section, key, defaultText);
}

void TLanguage::ListLanguages(const std::wstring& folder, bool withDisplayNames) {
    SetFolder(folder);
    names_.clear();
    displayNames_.clear();
    platform::FileFinder finder;
    WIN32_FIND_DATAW data;
    // "*.lng" alone would also match longer extensions through their short names.
    for (bool more = finder.FindFirst(folder_ + L"\\*" + kLanguageFileExtension, data); more;
         more = finder.FindNext(data)) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring fileName = data.cFileName;
        if (!EndsWithExtension(fileName)) continue;
        const std::wstring name = fileName.substr(0, fileName.size() - (std::size(kLanguageFileExtension) - 1));
        names_.push_back(name);
        if (!withDisplayNames) continue;
        settings::TExtIniFile other;
        displayNames_.push_back(other.LoadFromFile(FileOf(name))
                                    ? other.ReadString(kMainSection, kDisplayNameKey, name)
                                    : name);
    }
}

const std::vector<std::wstring>& TLanguage::LanguageNames() {
    if (names_.empty() && displayNames_.empty()) ListLanguages(folder_, false);
    return names_;
}

const std::vector<std::wstring>& TLanguage::DisplayNames() {
    if (names_.empty() || displayNames_.empty()) ListLanguages(folder_, true);
    return displayNames_;
}

void TLanguage::LoadDefaultTexts() {
    for (const auto& entry : SharedTextTable()) texts_.*entry.field = GetText(entry.key, entry.text);
}

void TLanguage::Register(TTranslatableWindow* window) { windows_.push_back(window); }

void TLanguage::Unregister(TTranslatableWindow* window) noexcept {
    std::erase(windows_, window);
}

void TLanguage::TranslateAll() {
    // A window may close while another is being translated; work on a copy of the list.
    const auto windows = windows_;
    for (auto* window : windows)
        if (std::find(windows_.begin(), windows_.end(), window) != windows_.end()) window->Translate();
}

TLanguage& AppLanguage() {
    // Lives for the whole run, as windows and look-ups may ask until the very end.
    static TLanguage language(kApplicationName);
    return language;
}

void StartAppLanguage(const std::wstring& programFolder, const settings::TMainIni& mainIni) {
    TLanguage& language = AppLanguage();
    language.SetFolder(ProgramLanguageFolder(programFolder));
    language.LoadLanguage(mainIni.Language());
    language.LoadDefaultTexts();
}

std::wstring GetText(const std::wstring& key, const std::wstring& defaultText) {
    return AppLanguage().GetText(key, defaultText);
}

const TSharedTexts& SharedTexts() { return AppLanguage().Texts(); }

void LoadDefaultTexts() { AppLanguage().LoadDefaultTexts(); }

}  // namespace tarvo::language
