#include "online/score_db_helper.h"

#include <cwctype>

#include "archive/archive_error.h"
#include "archive/zip_decompression.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/text_file.h"

namespace tarvo::online {

namespace {

bool IsSeparator(wchar_t c) noexcept { return c == L',' || c == L'\r' || c == L'\n'; }
bool IsLeadingBlank(wchar_t c) noexcept { return c == L' ' || c == L'\r' || c == L'\n'; }

std::wstring ParentFolder(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    return ParentFolder(std::wstring(path, length));
}

}  // namespace

std::vector<std::wstring> SplitScoreTokens(const std::wstring& text) {
    std::vector<std::wstring> tokens;
    // The text ends at its end or at the first NUL, as the platform routine reads it.
    const std::wstring content = text.substr(0, text.find(L'\0'));
    const std::size_t end = content.size();
    std::size_t tail = 0;
    while (tail < end) {
        while (tail < end && IsLeadingBlank(content[tail])) ++tail;
        const std::size_t head = tail;
        wchar_t quote = 0;
        while (tail < end) {
            const wchar_t c = content[tail];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == L'"' || c == L'\'') {
                quote = c;
            } else if (IsSeparator(c)) {
                break;
            }
            ++tail;
        }
        if (tail > head) {
            std::wstring token = settings::Trim(content.substr(head, tail - head));
            if (!token.empty()) tokens.push_back(std::move(token));
        }
        ++tail;  // past the separator
    }
    return tokens;
}

int ScoreNumber(const std::wstring& text, int fallback) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
    int base = 10;
    if (at < text.size() && text[at] == L'$') {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == L'0' && (text[at + 1] == L'x' || text[at + 1] == L'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size()) return fallback;
    long long value = 0;
    for (; at < text.size(); ++at) {
        const wchar_t c = text[at];
        int digit = -1;
        if (c >= L'0' && c <= L'9') digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f') digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F') digit = c - L'A' + 10;
        if (digit < 0) return fallback;
        value = value * base + digit;
        if (value > 0x80000000LL) return fallback;
    }
    if (negative) value = -value;
    if (value > 0x7FFFFFFF || value < -0x80000000LL) return fallback;
    return static_cast<int>(value);
}

bool ScoreTextComplete(const std::string& bytes) {
    const std::wstring text = settings::DecodeText(bytes);
    if (text.find(L'\0') != std::wstring::npos) return false;
    const std::vector<std::wstring> tokens = SplitScoreTokens(text);
    if (tokens.empty() || tokens.size() % 2 != 0) return false;
    for (std::size_t i = 1; i < tokens.size(); i += 2)
        if (ScoreNumber(tokens[i], 0) != ScoreNumber(tokens[i], 1)) return false;  // the fallback answered
    return true;
}

std::wstring InstallFolder() {
    platform::RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarvoUninstall") !=
        ERROR_SUCCESS)
        return {};
    const auto location = key.QueryString(L"InstallLocation");
    return location ? ParentFolder(*location) : std::wstring();
}

std::wstring TScoreDBHelper::Folder() const {
    if (!folder_.empty()) return folder_;
    const std::wstring installed = InstallFolder();
    return !installed.empty() && platform::FolderExists(installed) ? installed : ProgramFolder();
}

void TScoreDBHelper::LoadText(const std::string& bytes) {
    auto tokens = std::make_shared<const std::vector<std::wstring>>(SplitScoreTokens(settings::DecodeText(bytes)));
    const std::lock_guard guard(lock_);
    tokens_ = std::move(tokens);
    loaded_ = true;
}

bool TScoreDBHelper::Load() {
    {
        const std::lock_guard guard(lock_);
        loaded_ = false;
        tokens_ = std::make_shared<const std::vector<std::wstring>>();
    }
    const std::wstring path = Folder() + L"ScoreBase.dbd";
    if (!platform::FileExists(path)) return false;
    archive::StringSink sink(64u << 20);
    try {
        archive::TZipDeCompression::ExtractFile(path, L"ScoreBase.dbd", sink, archive::kArchivePassPhrase);
    } catch (const archive::ArchiveError&) {
        return false;
    }
    LoadText(sink.bytes());
    return true;
}

bool TScoreDBHelper::Loaded() const {
    const std::lock_guard guard(lock_);
    return loaded_;
}

void TScoreDBHelper::Lookup(const std::wstring& id, TScore& score) const {
    score.Kind.clear();
    std::shared_ptr<const std::vector<std::wstring>> tokens;
    {
        const std::lock_guard guard(lock_);
        tokens = tokens_;
    }
    for (std::size_t i = 0; i < tokens->size(); ++i) {
        if (!platform::EqualsIgnoreCase((*tokens)[i], id)) continue;
        score.Kind = L"ID";
        score.Id = id;
        score.Score = i + 1 < tokens->size() ? ScoreNumber((*tokens)[i + 1], 2) : 0;
        return;
    }
}

}  // namespace tarvo::online
