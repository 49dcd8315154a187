#include "inventory/forced_path.h"

#include "common/paths.h"
#include "inventory/command_analysis.h"
#include "inventory/shell_link_file.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace tarvo::inventory {

namespace {

bool EndsWithIgnoringCase(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && platform::EqualsIgnoreCase(text.substr(text.size() - tail.size()), tail);
}

// Typed and recorded paths may use either slash.
std::wstring FolderPartOf(const std::wstring& path) {
    return common::FolderPart(path, common::PathSeparators::BackslashOrSlash);
}

// A file goes with its folder: without an entry the folder is scanned and cleaned as the
// program's own, so a file lying directly in a drive root or the Windows or system folder
// must not open that path.
bool RemovablePlace(const std::wstring& target) {
    if (!IsRemovableFolder(target)) return false;
    return !platform::FileExists(target) || IsRemovableFolder(FolderPartOf(target));
}

}  // namespace

bool IsShortcutPath(const std::wstring& path) {
    return EndsWithIgnoringCase(path, L".lnk") || EndsWithIgnoringCase(path, L".ink");
}

std::wstring LinkWorkingFolder(const std::wstring& path) { return platform::ShellLinkWorkingFolder(path); }

TForcedPath ResolveForcedPath(const std::wstring& path) {
    TForcedPath result;
    result.target = path;
    if (IsShortcutPath(path)) {
        std::wstring target = LinkTargetFromFile(path);
        if (!target.empty()) {
            // A target that is gone (or is a folder) leaves the shortcut itself to remove.
            if (!platform::FileExists(target)) target = path;
        } else {
            target = LinkWorkingFolder(path);
            if (!platform::FileExists(target) && !platform::FolderExists(target)) target = path;
            result.foldersAllowed = true;
        }
        result.target = target;
    }
    const bool exists = platform::FileExists(result.target) ||
                        (result.foldersAllowed && platform::FolderExists(result.target));
    result.accepted = !result.target.empty() && exists && RemovablePlace(result.target);
    return result;
}

std::optional<std::wstring> ShellVerbTarget(const std::wstring& path) {
    std::wstring target = path;
    if (IsShortcutPath(path)) {
        target = LinkTargetFromFile(path);
        if (target.empty()) target = LinkWorkingFolder(path);
    }
    if (target.empty()) return std::nullopt;
    if (!platform::FileExists(target) && !platform::FolderExists(target)) return std::nullopt;
    if (!RemovablePlace(target)) return std::nullopt;
    return target;
}

}  // namespace tarvo::inventory
