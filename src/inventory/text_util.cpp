#include "inventory/text_util.h"

#include <windows.h>

namespace tarvo::inventory {

namespace {

std::wstring MapCase(std::wstring_view text, DWORD flags) {
    if (text.empty()) return {};
    std::wstring mapped(text);
    // The invariant locale maps letters of every script one to one, so the length stays.
    const int length = ::LCMapStringW(LOCALE_INVARIANT, flags, text.data(), static_cast<int>(text.size()),
                                      mapped.data(), static_cast<int>(mapped.size()));
    if (length <= 0) {
        for (auto& c : mapped)
            if (flags == LCMAP_UPPERCASE ? (c >= L'a' && c <= L'z') : (c >= L'A' && c <= L'Z'))
                c = static_cast<wchar_t>(c ^ 0x20);
        return mapped;
    }
    mapped.resize(static_cast<std::size_t>(length));
    return mapped;
}

}  // namespace

std::wstring UpperCase(std::wstring_view text) { return MapCase(text, LCMAP_UPPERCASE); }
std::wstring LowerCase(std::wstring_view text) { return MapCase(text, LCMAP_LOWERCASE); }

std::wstring Trim(std::wstring_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && text[first] <= L' ') ++first;
    while (last > first && text[last - 1] <= L' ') --last;
    return std::wstring(text.substr(first, last - first));
}

bool Contains(std::wstring_view text, std::wstring_view part) noexcept {
    return text.find(part) != std::wstring_view::npos;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) noexcept {
    return text.substr(0, prefix.size()) == prefix;
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to) {
    if (from.empty()) return std::wstring(text);
    std::wstring result;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(from, start)) != std::wstring_view::npos; start = at + from.size()) {
        result.append(text.substr(start, at - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}

std::wstring ReplaceAllIgnoreCase(std::wstring_view text, std::wstring_view from, std::wstring_view to) {
    if (from.empty()) return std::wstring(text);
    const std::wstring upperText = UpperCase(text), upperFrom = UpperCase(from);
    if (upperText.size() != text.size()) return std::wstring(text);
    std::wstring result;
    std::size_t start = 0;
    for (std::size_t at; (at = upperText.find(upperFrom, start)) != std::wstring::npos;
         start = at + from.size()) {
        result.append(text.substr(start, at - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}

std::wstring RemoveFirst(std::wstring_view text, std::wstring_view part) {
    std::wstring result(text);
    if (part.empty()) return result;
    const auto at = result.find(part);
    if (at != std::wstring::npos) result.erase(at, part.size());
    return result;
}

std::wstring WithTrailingBackslash(std::wstring_view path) {
    std::wstring result(path);
    if (result.empty() || result.back() != L'\\') result.push_back(L'\\');
    return result;
}

}  // namespace tarvo::inventory
