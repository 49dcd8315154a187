#pragma once
// The text INI store the program keeps for itself (the analysis cache, language files): the
// whole document in memory, written back only when asked, as UTF-16LE with a byte-order mark.

#include <string>
#include <unordered_map>
#include <vector>

namespace tarvo::settings {

class TExtIniFile {
public:
    struct Section {
        std::wstring name;
        std::vector<std::wstring> lines;  // "name=value", or a line without "=" as it stood
    };

    TExtIniFile() = default;

    // Replaces the document with the file's content. False (document unchanged) when the
    // file cannot be read; callers that care check for the file first.
    [[nodiscard]] bool LoadFromFile(const std::wstring& path);
    // Parses text: lines are trimmed; blank lines and ";" comments are skipped; "[name]"
    // starts a section (a repeated name starts another one, which look-ups never reach);
    // "name = value" is kept as "name=value"; other lines are kept; lines before the first
    // section are dropped.
    void LoadFromText(const std::wstring& text);
    [[nodiscard]] bool SaveToFile(const std::wstring& path) const;
    // Each section as "[name]", its lines and an empty line, CR LF line ends.
    [[nodiscard]] std::wstring SaveToText() const;
    void Clear() noexcept {
        sections_.clear();
        index_.clear();
    }

    // Section and key names ignore case; the first section and first line that match win.
    [[nodiscard]] std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& fallback) const;
    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    // Decimal text; anything else reads as the default.
    [[nodiscard]] int ReadInteger(const std::wstring& section, const std::wstring& key, int fallback) const;
    void WriteInteger(const std::wstring& section, const std::wstring& key, int value);
    [[nodiscard]] long long ReadInt64(const std::wstring& section, const std::wstring& key, long long fallback) const;
    void WriteInt64(const std::wstring& section, const std::wstring& key, long long value);
    // In the user's number format.
    [[nodiscard]] double ReadFloat(const std::wstring& section, const std::wstring& key, double fallback) const;
    void WriteFloat(const std::wstring& section, const std::wstring& key, double value);

    [[nodiscard]] bool SectionExists(const std::wstring& section) const;
    [[nodiscard]] bool ValueExists(const std::wstring& section, const std::wstring& key) const;
    void DeleteKey(const std::wstring& section, const std::wstring& key);
    // Removes every section of that name, so that no duplicate resurfaces in its place.
    void EraseSection(const std::wstring& section);
    // The key names of a section, in order.
    [[nodiscard]] std::vector<std::wstring> ReadSection(const std::wstring& section) const;
    // The section names in order, each once.
    [[nodiscard]] std::vector<std::wstring> ReadSections() const;
    // The lines of a section as stored ("name=value").
    [[nodiscard]] std::vector<std::wstring> ReadSectionValues(const std::wstring& section) const;

    [[nodiscard]] const std::vector<Section>& Sections() const noexcept { return sections_; }

private:
    [[nodiscard]] const Section* Find(const std::wstring& section) const;
    [[nodiscard]] Section* Find(const std::wstring& section);
    [[nodiscard]] static std::ptrdiff_t FindLine(const Section& section, const std::wstring& key);

    void RebuildIndex();

    std::vector<Section> sections_;
    // Upper-case section name -> position of the first section of that name. A cache of a
    // few hundred programs is read and written key by key; a scan per key would compare
    // every name each time. Kept current by every change, so that reads stay read-only.
    std::unordered_map<std::wstring, std::size_t> index_;
    // The decimal separator is read once per document, not once per value.
    mutable std::wstring decimalSeparator_;
    const std::wstring& Separator() const;
};

}  // namespace tarvo::settings
