#include "common/text.h"

namespace tarvo::common {

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

}  // namespace tarvo::common
