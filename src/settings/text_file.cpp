#include "settings/text_file.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/text.h"

namespace tarvo::settings {

namespace {

std::wstring DecodeUtf16(const std::string& bytes, std::size_t start, bool bigEndian) {
    std::wstring text;
    text.reserve((bytes.size() - start) / 2);
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    return text;
}

bool StartsWith(const std::string& bytes, const char* mark, std::size_t size) {
    return bytes.size() >= size && bytes.compare(0, size, mark, size) == 0;
}

}  // namespace

std::wstring DecodeText(const std::string& bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3)) return platform::MultiByteToWide(bytes.data() + 3, bytes.size() - 3, CP_UTF8);
    if (StartsWith(bytes, "\xFF\xFE", 2)) return DecodeUtf16(bytes, 2, false);
    if (StartsWith(bytes, "\xFE\xFF", 2)) return DecodeUtf16(bytes, 2, true);
    return platform::MultiByteToWide(bytes.data(), bytes.size(), CP_ACP);
}

std::string EncodeUtf16Le(const std::wstring& text) {
    std::string bytes("\xFF\xFE", 2);
    bytes.reserve(2 + text.size() * 2);
    for (const wchar_t ch : text) {
        bytes.push_back(static_cast<char>(ch & 0xFF));
        bytes.push_back(static_cast<char>((ch >> 8) & 0xFF));
    }
    return bytes;
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && text[i] != L'\n') continue;
        lines.emplace_back(text, start, i - start);
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text, start, std::wstring::npos);
    return lines;
}

std::optional<std::wstring> ReadTextFile(const std::wstring& path) {
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    return DecodeText(*bytes);
}

bool WriteUtf16TextFile(const std::wstring& path, const std::wstring& text) {
    return platform::WriteFileBytes(path, EncodeUtf16Le(text));
}

std::wstring Trim(const std::wstring& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && text[first] <= L' ') ++first;
    while (last > first && text[last - 1] <= L' ') --last;
    return text.substr(first, last - first);
}

}  // namespace tarvo::settings
