#include "leftovers/program_ownership.h"

#include <algorithm>

#include "common/paths.h"
#include "common/text.h"
#include "leftovers/exclusion.h"
#include "leftovers/scan_guard.h"
#include "platform/files.h"

namespace tarvo::leftovers {

namespace {

bool IsPrefixOf(const std::wstring& ancestor, const std::wstring& path) {
    return path.size() >= ancestor.size() && path.compare(0, ancestor.size(), ancestor) == 0;
}

// A location that names the program's main file (the shape of some entries) means its folder.
std::wstring ProgramFolderForm(const std::wstring& location) {
    std::wstring path = common::Trim(location);
    const common::PathSplit split = common::SplitPath(path);
    if (split.hasSeparator && split.name.find(L'.') != std::wstring::npos && platform::FileExists(path))
        path = common::ParentKey(path);
    return FolderForm(path);
}

}  // namespace

TProgramOwnership::TProgramOwnership(const std::vector<inventory::TProgramPlace>& places, const std::wstring& ownName,
                                     const std::wstring& ownFolder, bool bareFolder, const TReservedFolders& reserved)
    : own_(FolderForm(ownFolder)) {
    const std::wstring name = common::Trim(ownName);
    for (const auto& place : places) {
        if (!name.empty() && common::EqualsIgnoreCase(common::Trim(place.name), name)) continue;
        const std::wstring form = ProgramFolderForm(place.folder);
        if (bareFolder && form == own_) continue;
        // A broken entry that names a shared folder owns nothing: the reserved list guards those.
        if (form.empty() || !IsPlainAbsolutePath(form) || IsVolumeRoot(form) ||
            reserved.IsReservedFolder(form) || reserved.IsAboveReservedFolder(form))
            continue;
        if (std::find(others_.begin(), others_.end(), form) == others_.end()) others_.push_back(form);
    }
}

bool TProgramOwnership::OwnFolderInside(const std::wstring& other) const {
    return !own_.empty() && own_.size() > other.size() && IsPrefixOf(other, own_);
}

bool TProgramOwnership::BelongsToOther(const std::wstring& form) const {
    return std::any_of(others_.begin(), others_.end(), [&](const std::wstring& other) {
        return IsPrefixOf(other, form) && !(OwnFolderInside(other) && IsPrefixOf(own_, form));
    });
}

bool TProgramOwnership::HoldsOther(const std::wstring& form) const {
    return std::any_of(others_.begin(), others_.end(), [&](const std::wstring& other) {
        return IsPrefixOf(form, other);
    });
}

bool TProgramOwnership::PointsIntoOther(const std::wstring& text) const {
    if (others_.empty()) return false;
    const std::wstring lower = common::LowerCase(text);
    for (const auto& other : others_) {
        const bool host = OwnFolderInside(other);
        for (auto at = lower.find(other); at != std::wstring::npos; at = lower.find(other, at + 1)) {
            // In the host's folder, the scanned program's own folder is still its own.
            if (host && lower.compare(at, own_.size(), own_) == 0) continue;
            return true;
        }
        // A folder named without its trailing backslash is that folder too.
        const std::wstring bare = other.substr(0, other.size() - 1);
        for (auto at = lower.find(bare); at != std::wstring::npos; at = lower.find(bare, at + 1)) {
            const std::size_t end = at + bare.size();
            if (end == lower.size() || lower[end] == L'"' || lower[end] == L';' || lower[end] == L',') return true;
        }
    }
    return false;
}

}  // namespace tarvo::leftovers
