#pragma once
// Splitting file paths and registry key paths into their folder (or parent key) and name: one
// splitter, with the few ways callers differ spelled out as arguments, not as local copies.

#include <string>
#include <string_view>

namespace tarvo::common {

// What separates a path's parts. Key paths and the paths Windows gives know only the
// backslash; a path a user or an installer typed may use '/' too, and "C:file" has its
// folder in the drive.
enum class PathSeparators { Backslash, BackslashOrSlash, BackslashSlashOrColon };

// A path cut at its last separator.
struct PathSplit {
    std::wstring folder;  // through the last separator; empty when there is none
    std::wstring name;    // after it; the whole path when there is none
    bool hasSeparator = false;
};

[[nodiscard]] PathSplit SplitPath(std::wstring_view path, PathSeparators separators = PathSeparators::Backslash);

// "C:\a\b.exe" -> "C:\a\"; empty without a separator.
[[nodiscard]] std::wstring FolderPart(std::wstring_view path, PathSeparators separators = PathSeparators::Backslash);

// What NamePart gives for a path without a backslash: a key or file name on its own is its
// own name; where a caller expects a path below something, it names nothing.
enum class LoneName { IsTheName, IsNothing };
// "Software\Vendor\App" -> "App".
[[nodiscard]] std::wstring NamePart(std::wstring_view path, LoneName lone = LoneName::IsTheName);

// "Software\Vendor\App" -> "Software\Vendor" (no trailing backslash); empty without one.
[[nodiscard]] std::wstring ParentKey(std::wstring_view path);

// The folder above a folder, with its trailing backslash, whether or not `folder` ends in
// one: "C:\a\b\" and "C:\a\b" -> "C:\a\"; a volume root ("C:\") has none.
[[nodiscard]] std::wstring ParentFolder(std::wstring_view folder);

[[nodiscard]] std::wstring WithTrailingBackslash(std::wstring_view path);

// Every trailing backslash off; with KeepVolumeRoot, never shorter than "C:\".
enum class TrailingCut { All, KeepVolumeRoot };
[[nodiscard]] std::wstring WithoutTrailingBackslashes(std::wstring path, TrailingCut cut = TrailingCut::All);

}  // namespace tarvo::common
