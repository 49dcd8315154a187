#include "leftovers/program_names.h"

#include <algorithm>
#include <cwctype>

#include "common/text.h"

namespace tarvo::leftovers {

namespace {

using common::EqualsIgnoreCase;
using common::LowerCase;
using common::Trim;

const wchar_t* const kCompanyForms[] = {L"inc",  L"inc.",  L"incorporated", L"ltd", L"ltd.", L"limited", L"llc",
                                        L"gmbh", L"corp",  L"corp.",        L"corporation", L"co", L"co.",
                                        L"ag",   L"s.a.",  L"sa",           L"b.v.", L"bv", L"oy", L"ab", L"plc"};
const wchar_t* const kBitnessMarks[] = {L"(x64)", L"(x86)", L"(64-bit)", L"(32-bit)", L"x64", L"x86", L"64-bit", L"32-bit"};

void AddDistinct(std::vector<std::wstring>& names, std::wstring name) {
    name = Trim(name);
    while (!name.empty() && (name.back() == L',' || name.back() == L'-')) name = Trim(name.substr(0, name.size() - 1));
    if (name.empty()) return;
    if (std::none_of(names.begin(), names.end(), [&](const std::wstring& n) { return EqualsIgnoreCase(n, name); }))
        names.push_back(std::move(name));
}

// The last blank-separated word and what stands before it.
bool SplitLastWord(const std::wstring& text, std::wstring& head, std::wstring& last) {
    const auto blank = text.find_last_of(L" \t");
    if (blank == std::wstring::npos) return false;
    head = Trim(text.substr(0, blank));
    last = LowerCase(text.substr(blank + 1));
    return !head.empty();
}

bool IsVersionWord(const std::wstring& word) {
    std::size_t i = (word.size() > 1 && word[0] == L'v') ? 1 : 0;
    if (i >= word.size() || !std::iswdigit(word[i])) return false;
    return std::all_of(word.begin() + static_cast<std::ptrdiff_t>(i), word.end(),
                       [](wchar_t c) { return std::iswdigit(c) || c == L'.'; });
}

template <typename Test>
std::wstring WithoutTrailingWords(std::wstring text, Test drop) {
    std::wstring head, last;
    while (SplitLastWord(text, head, last) && drop(last)) {
        text = head;
        while (!text.empty() && (text.back() == L',' || text.back() == L'-')) text = Trim(text.substr(0, text.size() - 1));
    }
    return text;
}

}  // namespace

std::wstring PublisherWithoutCompanyForm(const std::wstring& publisher) {
    std::vector<std::wstring> names;
    AddDistinct(names, WithoutTrailingWords(Trim(publisher), [](const std::wstring& word) {
                    return std::any_of(std::begin(kCompanyForms), std::end(kCompanyForms),
                                       [&](const wchar_t* form) { return word == form; });
                }));
    return names.empty() ? std::wstring() : names.front();
}

std::vector<std::wstring> PublisherKeyNames(const std::wstring& publisher) {
    std::vector<std::wstring> names;
    const std::wstring full = Trim(publisher);
    AddDistinct(names, full);
    AddDistinct(names, PublisherWithoutCompanyForm(full));
    const auto blank = full.find_first_of(L" \t,");
    if (blank != std::wstring::npos) AddDistinct(names, full.substr(0, blank));
    return names;
}

std::vector<std::wstring> ProgramKeyNames(const std::wstring& displayName) {
    std::vector<std::wstring> names;
    const std::wstring full = Trim(displayName);
    AddDistinct(names, full);
    AddDistinct(names, WithoutTrailingWords(full, [](const std::wstring& word) {
                    return IsVersionWord(word) || std::any_of(std::begin(kBitnessMarks), std::end(kBitnessMarks),
                                                              [&](const wchar_t* mark) { return word == mark; });
                }));
    return names;
}

}  // namespace tarvo::leftovers
