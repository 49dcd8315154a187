#pragma once
// A language folder of its own for one test, filled with files written from text.

#include <string>

#include "settings/text_file.h"
#include "support/scratch_folder.h"

namespace tarvo::test {

class LanguageFolder {
public:
    LanguageFolder() : folder_(scratch_.MakeFolder(L"Language")) {}

    [[nodiscard]] const std::wstring& path() const noexcept { return folder_; }
    [[nodiscard]] const ScratchFolder& scratch() const noexcept { return scratch_; }
    // "<name>.lng" as UTF-16LE with a byte-order mark, as the program writes its own files.
    std::wstring Write(const std::wstring& name, const std::wstring& text) const {
        return scratch_.MakeFile(L"Language\\" + name + L".lng", settings::EncodeUtf16Le(text));
    }
    // The same text as UTF-8 with a byte-order mark, as translators often save it.
    std::wstring WriteUtf8(const std::wstring& name, const std::string& utf8) const {
        return scratch_.MakeFile(L"Language\\" + name + L".lng", "\xEF\xBB\xBF" + utf8);
    }

private:
    ScratchFolder scratch_;
    std::wstring folder_;
};

}  // namespace tarvo::test
