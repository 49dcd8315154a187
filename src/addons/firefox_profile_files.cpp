#include "addons/firefox_profile_files.h"

#include <algorithm>

#include "addons/addon_text.h"
#include "addons/browser_file.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

bool IsDecimalInteger(const std::wstring& text) {
    std::size_t start = !text.empty() && (text[0] == L'-' || text[0] == L'+') ? 1 : 0;
    return text.size() > start && std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
                                               [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// The text a line holds, in the file's encoding: UTF-8 when the whole file is UTF-8 (as
// Firefox writes it), otherwise the system's code page.
std::wstring Decode(const std::string& text, bool utf8) {
    return utf8 ? platform::WideFromUtf8(text) : platform::MultiByteToWide(text.data(), text.size(), CP_ACP);
}

std::string Encode(const std::wstring& text, bool utf8) {
    return utf8 ? platform::Utf8FromWide(text) : platform::WideToMultiByte(text, CP_ACP);
}

template <typename Text>
std::size_t NthBar(const Text& line, int n) {
    std::size_t at = Text::npos;
    for (int i = 0; i < n; ++i) {
        at = line.find(static_cast<typename Text::value_type>('|'), at == Text::npos ? 0 : at + 1);
        if (at == Text::npos) break;
    }
    return at;
}

}  // namespace

std::vector<ByteLine> SplitByteLines(const std::string& bytes) {
    std::vector<ByteLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string::npos) {
            lines.push_back({bytes.substr(start), ""});
            break;
        }
        const std::size_t breakLength = bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n' ? 2 : 1;
        lines.push_back({bytes.substr(start, stop - start), bytes.substr(stop, breakLength)});
        start = stop + breakLength;
    }
    return lines;
}

std::string JoinByteLines(const std::vector<ByteLine>& lines) {
    std::string bytes;
    for (const ByteLine& line : lines) bytes += line.text + line.end;
    return bytes;
}

std::vector<std::vector<std::wstring>> ReadPluginRecords(const std::vector<std::wstring>& lines) {
    std::vector<std::vector<std::wstring>> records;
    bool inSection = false, open = false;
    std::vector<std::wstring> record;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::wstring& line = lines[i];
        if (!inSection) {
            inSection = SameText(line, L"[PLUGINS]");
            continue;
        }
        if (line.empty()) break;  // the end of the section, also right after a MIME-type count
        if (!open) {
            open = true;
            record.clear();
            if (IsDecimalInteger(line)) {
                record.push_back(line);
                continue;
            }
            record.push_back(L"0");
        }
        record.push_back(line);
        if (i + 1 < lines.size() && (lines[i + 1].empty() || IsDecimalInteger(lines[i + 1]))) {
            records.push_back(record);
            open = false;
            if (lines[i + 1].empty()) return records;
        }
    }
    if (open && record.size() > 1) records.push_back(record);
    return records;
}

std::wstring StateField(const std::wstring& line) {
    const std::size_t second = NthBar(line, 2), third = NthBar(line, 3);
    if (third == std::wstring::npos) return line;
    return line.substr(second + 1, third - second - 1);
}

std::string SetStateField(const std::string& line, bool enable) {
    const std::size_t second = NthBar(line, 2), third = NthBar(line, 3);
    if (third == std::string::npos) return line;
    return line.substr(0, second + 1) + (enable ? "5" : "4") + line.substr(third);
}

std::string SetPluginStateIn(const std::string& bytes, const std::wstring& fileName, const std::wstring& fullPath,
                             bool enable) {
    const bool utf8 = IsUtf8(bytes);
    std::vector<ByteLine> lines = SplitByteLines(bytes);
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::wstring line = Decode(lines[i].text, utf8);
        if (!inSection) {
            inSection = SameText(line, L"[PLUGINS]");
            continue;
        }
        if (!SameText(line, fileName + L"|$")) continue;
        if (i + 3 < lines.size() && SameText(Decode(lines[i + 1].text, utf8), fullPath + L"|$"))
            lines[i + 3].text = SetStateField(lines[i + 3].text, enable);
    }
    return JoinByteLines(lines);
}

std::optional<std::string> EditExtensionDirs(const std::string& bytes, const std::wstring& folder, bool enable) {
    const bool utf8 = IsUtf8(bytes);
    std::vector<ByteLine> lines = SplitByteLines(bytes);
    std::size_t sectionEnd = lines.size();
    bool inSection = false, found = false, changed = false;
    std::vector<std::wstring> keys;
    for (std::size_t i = 0; i < lines.size();) {
        const std::wstring line = Trim(Decode(lines[i].text, utf8));
        if (!line.empty() && line.front() == L'[') {
            if (inSection) break;
            inSection = SameText(line, L"[ExtensionDirs]");
            if (inSection) sectionEnd = i + 1;
            ++i;
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (inSection && equals != std::wstring::npos) {
            keys.push_back(Trim(line.substr(0, equals)));
            if (SameText(Trim(line.substr(equals + 1)), folder)) {
                found = true;
                if (!enable) {
                    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                    changed = true;
                    continue;
                }
            }
        }
        if (inSection && !line.empty()) sectionEnd = i + 1;
        ++i;
    }
    if (!enable) return changed ? std::optional(JoinByteLines(lines)) : std::nullopt;
    if (found) return std::nullopt;

    const std::string lineBreak = !lines.empty() && !lines.front().end.empty() ? lines.front().end : "\r\n";
    // Numbered from the count of keys, as Firefox numbers them, but never over a key that is
    // already there: after an earlier removal the numbers have a gap.
    std::size_t number = keys.size();
    while (std::any_of(keys.begin(), keys.end(),
                       [&](const std::wstring& key) { return SameText(key, L"Extension" + std::to_wstring(number)); }))
        ++number;
    const ByteLine added{Encode(L"Extension" + std::to_wstring(number) + L"=" + folder, utf8), lineBreak};
    if (!inSection) {
        // No section yet: a new one at the end.
        if (!lines.empty() && lines.back().end.empty()) lines.back().end = lineBreak;
        lines.push_back({"[ExtensionDirs]", lineBreak});
        lines.push_back(added);
    } else {
        if (sectionEnd > 0 && lines[sectionEnd - 1].end.empty()) lines[sectionEnd - 1].end = lineBreak;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), added);
    }
    return JoinByteLines(lines);
}

}  // namespace tarvo::addons
