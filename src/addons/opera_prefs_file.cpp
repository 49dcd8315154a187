#include "addons/opera_prefs_file.h"

#include <windows.h>

#include <algorithm>

#include "addons/browser_file.h"
#include "common/text.h"
#include "platform/text.h"

namespace tarvo::addons {

namespace {

enum class Encoding { Utf8, Utf8Marked, Utf16Le, Utf16Be, Ansi };

struct DecodedText {
    Encoding encoding = Encoding::Utf8;
    std::wstring text;
};

std::wstring SwappedUtf16(const std::string& bytes, std::size_t from, bool bigEndian) {
    std::wstring text;
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        const auto high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        text.push_back(static_cast<wchar_t>(low | (high << 8)));
    }
    return text;
}

DecodedText Decode(const std::string& bytes) {
    if (bytes.rfind("\xFF\xFE", 0) == 0) return {Encoding::Utf16Le, SwappedUtf16(bytes, 2, false)};
    if (bytes.rfind("\xFE\xFF", 0) == 0) return {Encoding::Utf16Be, SwappedUtf16(bytes, 2, true)};
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return {Encoding::Utf8Marked, platform::WideFromUtf8(bytes.substr(3))};
    if (IsUtf8(bytes)) return {Encoding::Utf8, platform::WideFromUtf8(bytes)};
    return {Encoding::Ansi, platform::MultiByteToWide(bytes.data(), bytes.size(), CP_ACP)};
}

std::optional<std::string> Encode(const std::wstring& text, Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8: return platform::Utf8FromWide(text);
        case Encoding::Utf8Marked: return "\xEF\xBB\xBF" + platform::Utf8FromWide(text);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool big = encoding == Encoding::Utf16Be;
            std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
            for (const wchar_t c : text) {
                const char low = static_cast<char>(c & 0xFF), high = static_cast<char>((c >> 8) & 0xFF);
                bytes += big ? high : low;
                bytes += big ? low : high;
            }
            return bytes;
        }
        case Encoding::Ansi: {
            std::string bytes = platform::WideToMultiByte(text, CP_ACP);
            if (platform::MultiByteToWide(bytes.data(), bytes.size(), CP_ACP) != text) return std::nullopt;
            return bytes;
        }
    }
    return std::nullopt;
}

struct Line {
    std::size_t begin = 0, end = 0;  // the text without its line break
};

std::vector<Line> LinesOf(const std::wstring& text) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = std::min(text.find_first_of(L"\r\n", begin), text.size());
        lines.push_back({begin, end});
        begin = end;
        if (begin < text.size() && text[begin] == L'\r') ++begin;
        if (begin < text.size() && text[begin] == L'\n') ++begin;
    }
    return lines;
}

bool IsSectionLine(const std::wstring& line) {
    const std::wstring trimmed = common::Trim(line);
    return trimmed.size() >= 2 && trimmed.front() == L'[' && trimmed.back() == L']';
}

bool IsSection(const std::wstring& line, const wchar_t* name) {
    const std::wstring trimmed = common::Trim(line);
    return IsSectionLine(line) && platform::EqualsIgnoreCase(common::Trim(trimmed.substr(1, trimmed.size() - 2)), name);
}

// Where the key's line is, or where the section's last line ends, or nothing.
struct KeyPlace {
    std::optional<Line> section, key;
    std::optional<Line> lastOfSection;
};

constexpr wchar_t kSection[] = L"User Prefs";
constexpr wchar_t kKey[] = L"Disabled Plugins";

KeyPlace Find(const std::wstring& text) {
    KeyPlace place;
    bool inside = false;
    for (const Line& line : LinesOf(text)) {
        const std::wstring content = text.substr(line.begin, line.end - line.begin);
        if (IsSectionLine(content)) {
            inside = !place.section && IsSection(content, kSection);
            if (inside) place.section = place.lastOfSection = line;
            continue;
        }
        if (!inside) continue;
        if (!common::Trim(content).empty()) place.lastOfSection = line;
        const auto equals = content.find(L'=');
        if (!place.key && equals != std::wstring::npos &&
            platform::EqualsIgnoreCase(common::Trim(content.substr(0, equals)), kKey))
            place.key = line;
    }
    return place;
}

std::wstring LineBreakOf(const std::wstring& text) {
    const auto at = text.find_first_of(L"\r\n");
    if (at == std::wstring::npos) return L"\r\n";
    if (text[at] == L'\n') return L"\n";
    return at + 1 < text.size() && text[at + 1] == L'\n' ? L"\r\n" : L"\r";
}

}  // namespace

std::vector<std::wstring> SplitDisabledPlugins(const std::wstring& value) {
    std::vector<std::wstring> entries;
    std::size_t begin = 0;
    while (begin <= value.size()) {
        const std::size_t end = std::min(value.find(L';', begin), value.size());
        std::wstring entry = common::Trim(value.substr(begin, end - begin));
        if (!entry.empty()) entries.push_back(std::move(entry));
        begin = end + 1;
    }
    return entries;
}

std::vector<std::wstring> ReadDisabledPlugins(const std::string& bytes) {
    const DecodedText decoded = Decode(bytes);
    const KeyPlace place = Find(decoded.text);
    if (!place.key) return {};
    const std::wstring line = decoded.text.substr(place.key->begin, place.key->end - place.key->begin);
    return SplitDisabledPlugins(line.substr(line.find(L'=') + 1));
}

std::optional<std::string> WithDisabledPlugins(const std::string& bytes, const std::vector<std::wstring>& entries) {
    DecodedText decoded = Decode(bytes);
    std::wstring& text = decoded.text;
    std::wstring value;
    for (const std::wstring& entry : entries) value += common::Trim(entry) + L";";
    const std::wstring assignment = std::wstring(kKey) + L"=" + value;
    const std::wstring lineBreak = LineBreakOf(text);

    const KeyPlace place = Find(text);
    if (place.key) {
        text.replace(place.key->begin, place.key->end - place.key->begin, assignment);
    } else if (place.lastOfSection) {
        text.insert(place.lastOfSection->end, lineBreak + assignment);
    } else {
        if (!text.empty() && text.back() != L'\n' && text.back() != L'\r') text += lineBreak;
        text += L"[" + std::wstring(kSection) + L"]" + lineBreak + assignment + lineBreak;
    }
    return Encode(text, decoded.encoding);
}

}  // namespace tarvo::addons
