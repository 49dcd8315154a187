#pragma once
// Firefox: the home page in the profile's "prefs.js" (or the user's own "user.js"), the
// default engine in "prefs.js", hidden engines in "search.json", and the stock Google
// search plug-in beside the program; current versions keep the engines and the default in
// the compressed "search.json.mozlz4".

#include <string>
#include <vector>

#include "browserdefaults/explorer_set.h"

namespace tarvo::browserdefaults {

class TFireFoxExplorerSet final : public TCustomExplorerSet {
public:
    explicit TFireFoxExplorerSet(const RestoreEnvironment& environment);

    [[nodiscard]] std::wstring GetHomepage() override;
    [[nodiscard]] bool SetHomepage() override;
    [[nodiscard]] std::wstring GetSearchEngine() override;
    [[nodiscard]] bool RestSearchToDefault() override;

    [[nodiscard]] const std::wstring& ProfileFolder() const noexcept { return profileFolder_; }
    [[nodiscard]] const std::wstring& ExtensionDir() const noexcept { return extensionDir_; }
    [[nodiscard]] const std::wstring& ProgramFolder() const noexcept { return programFolder_; }

    // The steps of RestSearchToDefault.
    [[nodiscard]] bool UpdateSearch();
    // "search.json.mozlz4": the default taken out, the stock engine shown. True when there is
    // no such file; false, and the file as it was, when it cannot be read or written.
    [[nodiscard]] bool UpdateCompressedSearch();
    [[nodiscard]] bool CreateGoogleFile();
    [[nodiscard]] bool RewriteSearchPreferences();
    [[nodiscard]] bool IsEngineHidden(const std::wstring& name) const;

private:
    [[nodiscard]] std::wstring FindDefaultProfile() const;
    void WriteTrace(const wchar_t* fileName, const std::vector<std::wstring>& trace) const;

    std::wstring profileFolder_;
    std::wstring extensionDir_;
    std::wstring programFolder_;
};

// The text of a UTF-8 file (with or without its mark) cut into lines; nullopt when the
// bytes are not UTF-8, so that a file in another encoding is never written back garbled.
[[nodiscard]] std::optional<std::vector<std::wstring>> Utf8Lines(const std::string& bytes);
// The lines as UTF-8 with a mark, each ended by CR LF.
[[nodiscard]] std::string JoinUtf8Lines(const std::vector<std::wstring>& lines);

// The value of `user_pref("browser.startup.homepage", …);` in a prefs file's text, trimmed
// and without its quotes; empty when the file does not set it.
[[nodiscard]] std::wstring HomepagePreference(const std::wstring& text);
// The selected engine of a prefs file: "selectedEngine", else "defaultenginename".
struct SearchPreferences {
    std::wstring defaultEngineName, selectedEngine;
};
[[nodiscard]] SearchPreferences ReadSearchPreferences(const std::vector<std::wstring>& lines);
// The lines without any that set one of `names` (each a quoted pref name, matched without case).
[[nodiscard]] std::vector<std::wstring> WithoutPreferences(const std::vector<std::wstring>& lines,
                                                           std::initializer_list<const wchar_t*> names);
// The stock Google search plug-in, one element a line.
[[nodiscard]] std::vector<std::wstring> GooglePluginLines(const StockAddresses& stock);

}  // namespace tarvo::browserdefaults
