#pragma once
// What a path the user points the forced uninstall at really names: a shortcut is followed
// to its local target or, failing that, to its working folder; the result must be an
// existing file (or, through a shortcut without a readable target, a folder) in a place that
// can belong to one program.

#include <optional>
#include <string>

namespace tarvo::inventory {

struct TForcedPath {
    std::wstring target;          // what the path box shows
    bool foldersAllowed = false;  // a folder came from a shortcut's working folder
    bool accepted = false;
};

// ".lnk" or ".ink", ignoring letter case.
[[nodiscard]] bool IsShortcutPath(const std::wstring& path);

// The working folder a shortcut records; empty on any failure.
[[nodiscard]] std::wstring LinkWorkingFolder(const std::wstring& path);

// Follows a shortcut and decides whether the forced uninstall takes the result.
[[nodiscard]] TForcedPath ResolveForcedPath(const std::wstring& path);

// The context-menu hand-off into an open forced-uninstall window: a shortcut becomes its
// target or its working folder (never the shortcut itself), any other path stays; the result
// is taken when it is an existing file or folder in a removable place.
[[nodiscard]] std::optional<std::wstring> ShellVerbTarget(const std::wstring& path);

}  // namespace tarvo::inventory
