#include "addons/addon_text.h"

#include "platform/text.h"

namespace tarvo::addons {

std::wstring Trim(const std::wstring& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && text[first] <= L' ') ++first;
    while (last > first && text[last - 1] <= L' ') --last;
    return text.substr(first, last - first);
}

bool SameText(const std::wstring& a, const std::wstring& b) noexcept {
    if (a.size() != b.size() && (a.empty() || b.empty())) return false;
    return platform::EqualsIgnoreCase(a, b);
}

std::wstring CaseKey(const std::wstring& text) { return platform::UpperCase(text); }

}  // namespace tarvo::addons
