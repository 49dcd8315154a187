#include "common/path_list.h"

#include "common/paths.h"
#include "common/text.h"

namespace tarvo::common {

namespace {

std::wstring ElementForm(std::wstring_view element) {
    std::wstring form = Trim(element);
    if (form.size() >= 2 && form.front() == L'"' && form.back() == L'"') form = Trim(form.substr(1, form.size() - 2));
    return LowerCase(WithoutTrailingBackslashes(std::move(form)));
}

}  // namespace

std::vector<std::wstring> SplitPathList(std::wstring_view value) {
    std::vector<std::wstring> elements;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = value.find(L';', start);
        elements.emplace_back(value.substr(start, end == std::wstring_view::npos ? value.npos : end - start));
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    return elements;
}

std::wstring RemovePathElements(std::wstring_view value, const std::function<bool(std::wstring_view)>& drop) {
    std::wstring result;
    bool first = true;
    bool droppedAny = false;
    for (const std::wstring& element : SplitPathList(value)) {
        if (!element.empty() && drop(element)) {
            droppedAny = true;
            continue;
        }
        if (!first) result += L';';
        result += element;
        first = false;
    }
    // Nothing dropped: the value as it was, byte for byte (joining gives it back anyway).
    return droppedAny ? result : std::wstring(value);
}

bool PathElementWithin(std::wstring_view element, std::wstring_view folder) {
    const std::wstring item = ElementForm(element);
    const std::wstring base = ElementForm(folder);
    if (item.empty() || base.empty()) return false;
    if (item.size() == base.size()) return item == base;
    return item.size() > base.size() && item.compare(0, base.size(), base) == 0 && item[base.size()] == L'\\';
}

}  // namespace tarvo::common
