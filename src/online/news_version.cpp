#include "online/news_version.h"

#include <optional>
#include <vector>

#include "common/text.h"

namespace tarvo::online {

namespace {

std::vector<std::wstring> Parts(const std::wstring& version) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = version.find(L'.', start);
        parts.push_back(common::Trim(std::wstring_view(version).substr(start, dot == std::wstring::npos ? dot : dot - start)));
        if (dot == std::wstring::npos) return parts;
        start = dot + 1;
    }
}

// A plain decimal part; anything else, or one too long to be a version number, is none.
std::optional<long long> Number(const std::wstring& part) {
    if (part.empty() || part.size() > 18) return std::nullopt;
    long long value = 0;
    for (const wchar_t c : part) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return value;
}

}  // namespace

bool VersionGreater(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) return b.empty();
    const std::vector<std::wstring> left = Parts(a);
    const std::vector<std::wstring> right = Parts(b);
    std::optional<bool> leaning;
    const std::size_t count = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < count; ++i) {
        const auto x = Number(left[i]);
        const auto y = Number(right[i]);
        if (!x || !y) leaning = x.has_value();
        const long long vx = x.value_or(0);
        const long long vy = y.value_or(0);
        if (vx != vy) return vx > vy;
    }
    return leaning.value_or(left.size() > right.size());
}

bool ServerNewerOrEmpty(const std::wstring& stored, const std::wstring& own) {
    if (stored.empty()) return true;
    const std::wstring mine = common::Trim(own);
    if (stored == mine) return false;
    return !VersionGreater(mine, stored);
}

std::wstring ServerVersionFromList(const std::wstring& list, const std::wstring& code) {
    const std::size_t found = list.find(code);
    const std::size_t start = (found == std::wstring::npos ? 0 : found) + code.size() + 1;
    if (start >= list.size()) return {};
    const std::size_t bar = list.find(L'|', start);
    return common::Trim(std::wstring_view(list).substr(start, bar == std::wstring::npos ? bar : bar - start));
}

}  // namespace tarvo::online
