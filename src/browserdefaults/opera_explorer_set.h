#pragma once
// Opera: up to version 12 its settings are INI files ("operaprefs.ini", "search.ini" in the
// profile and in the program's region and locale folders); from 15 on it is Chromium and
// keeps Chrome's "Preferences".

#include <cstdint>
#include <functional>

#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

// Google's engine id in Opera's search.ini files.
inline constexpr const wchar_t* kOperaGoogleId = L"7A8CADE6677811DDBA4B5E9D55D89593";

class TOperaExplorerSet final : public TCustomExplorerSet {
public:
    explicit TOperaExplorerSet(const RestoreEnvironment& environment);

    [[nodiscard]] std::wstring GetHomepage() override;
    [[nodiscard]] bool SetHomepage() override;
    [[nodiscard]] std::wstring GetSearchEngine() override;
    [[nodiscard]] bool RestSearchToDefault() override;

    [[nodiscard]] std::int32_t Version() const noexcept { return version_; }
    [[nodiscard]] const std::wstring& ActiveRegion() const noexcept { return activeRegion_; }
    [[nodiscard]] const std::wstring& ProgramFolder() const noexcept { return programFolder_; }
    [[nodiscard]] const std::wstring& ProfileFolder() const noexcept { return profileFolder_; }
    [[nodiscard]] const std::wstring& DefaultLanguage() const noexcept { return defaultLanguage_; }

private:
    [[nodiscard]] bool FindOpera(HKEY root, const std::wstring& prefix);

    std::int32_t version_ = -1;
    std::wstring activeRegion_;
    std::wstring programFolder_;
    std::wstring profileFolder_;
    std::wstring defaultLanguage_;
};

// Changes an INI file of another program through the system's profile functions, on a copy
// beside it that replaces the file only when every change was written. A file that does not
// exist yet starts empty. False, and the file as it was, when any step fails.
[[nodiscard]] bool EditProfileFile(const std::wstring& path, const std::function<bool(const std::wstring& copy)>& edit);

// The names of the sections whose name contains "Search Engine", in file order, with their
// "UNIQUEID"; read from the file's text.
struct SearchEngineSection {
    std::wstring name, uniqueId;
};
[[nodiscard]] std::vector<SearchEngineSection> SearchEngineSections(const std::wstring& iniPath);

}  // namespace tarvo::browserdefaults
