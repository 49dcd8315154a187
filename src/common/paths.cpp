#include "common/paths.h"

namespace tarvo::common {

namespace {

const wchar_t* SeparatorSet(PathSeparators separators) noexcept {
    switch (separators) {
    case PathSeparators::BackslashOrSlash: return L"\\/";
    case PathSeparators::BackslashSlashOrColon: return L"\\/:";
    case PathSeparators::Backslash: break;
    }
    return L"\\";
}

}  // namespace

PathSplit SplitPath(std::wstring_view path, PathSeparators separators) {
    const auto cut = path.find_last_of(SeparatorSet(separators));
    if (cut == std::wstring_view::npos) return {{}, std::wstring(path), false};
    return {std::wstring(path.substr(0, cut + 1)), std::wstring(path.substr(cut + 1)), true};
}

std::wstring FolderPart(std::wstring_view path, PathSeparators separators) {
    return SplitPath(path, separators).folder;
}

std::wstring NamePart(std::wstring_view path, LoneName lone) {
    PathSplit split = SplitPath(path);
    return split.hasSeparator || lone == LoneName::IsTheName ? std::move(split.name) : std::wstring();
}

std::wstring ParentKey(std::wstring_view path) {
    std::wstring folder = SplitPath(path).folder;
    if (!folder.empty()) folder.pop_back();
    return folder;
}

std::wstring ParentFolder(std::wstring_view folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.remove_suffix(1);
    return SplitPath(folder).folder;
}

std::wstring WithTrailingBackslash(std::wstring_view path) {
    std::wstring result(path);
    if (result.empty() || result.back() != L'\\') result.push_back(L'\\');
    return result;
}

std::wstring WithoutTrailingBackslashes(std::wstring path, TrailingCut cut) {
    const std::size_t floor = cut == TrailingCut::KeepVolumeRoot ? 3 : 0;
    while (path.size() > floor && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace tarvo::common
