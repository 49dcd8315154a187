#pragma once
// TScoreDBHelper: the add-on trust scores of ScoreBase.dbd, a packed archive whose entry of
// the same name is a comma- or line-separated list read pairwise as identifier, score.
//
// The token list is replaced whole under a lock, so a reload asked for by the download
// thread never tears a look-up running on the user-interface thread.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarvo::online {

struct TScore {
    std::wstring Kind;  // "ID" when found
    std::wstring Id;
    int Score = 0;
    std::wstring Note;
};

// The platform's string-splitting rules: separators comma, CR, LF; blanks, CR and LF skipped
// at a token's start; a quote runs to the same quote (quotes kept); empty tokens dropped;
// each token trimmed of blanks and control characters.
[[nodiscard]] std::vector<std::wstring> SplitScoreTokens(const std::wstring& text);

// The installation folder (with a trailing "\") from the program's own uninstall key;
// empty when the value is missing.
[[nodiscard]] std::wstring InstallFolder();

class TScoreDBHelper {
public:
    // `folder` with a trailing "\": where ScoreBase.dbd is looked for. Empty: the
    // installation folder when it exists, otherwise the running program's folder.
    explicit TScoreDBHelper(std::wstring folder = {}) : folder_(std::move(folder)) {}

    bool Load();
    [[nodiscard]] bool Loaded() const;
    void Lookup(const std::wstring& id, TScore& score) const;

    // Loads from memory: the database text as extracted (tests, and the download's check).
    void LoadText(const std::string& bytes);

private:
    [[nodiscard]] std::wstring Folder() const;

    std::wstring folder_;
    mutable std::mutex lock_;
    std::shared_ptr<const std::vector<std::wstring>> tokens_ = std::make_shared<std::vector<std::wstring>>();
    bool loaded_ = false;
};

// Delphi's StrToIntDef as the lookup reads a score: optional sign, decimal or "$"/"0x" hex.
[[nodiscard]] int ScoreNumber(const std::wstring& text, int fallback);

// A downloaded database replaces ours only when all of it reads: text without a NUL (which
// would end it early), and pairs of a name and a score that is a number, at least one.
// The look-up itself forgives more; a download has to be proven whole.
[[nodiscard]] bool ScoreTextComplete(const std::string& bytes);

}  // namespace tarvo::online
