#include "leftovers/empty_shells.h"

#include <algorithm>
#include <optional>

#include "common/paths.h"
#include "common/text.h"
#include "leftovers/exclusion.h"
#include "leftovers/scan_guard.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;

using common::ParentFolder;
using common::ParentKey;

std::wstring Trimmed(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    while (!path.empty() && path.front() == L'\\') path.erase(0, 1);
    return path;
}

bool FolderIsEmpty(const std::wstring& form) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool found = finder.FindFirst(form + L"*", data); found; found = finder.FindNext(data))
        if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..") return false;
    return true;
}

bool KeyIsEmpty(const TEmptyShells::Key& key) {
    platform::RegistryKey open;
    if (open.Open(key.root, key.path, KEY_READ, key.view) != ERROR_SUCCESS) return false;
    return open.SubKeyNames().empty() && open.ValueNames().empty();
}

std::size_t Depth(const std::wstring& path) { return static_cast<std::size_t>(std::count(path.begin(), path.end(), L'\\')); }

// Deepest first: a parent is looked at after everything below it.
template <typename T, typename DepthOf>
std::vector<T> DeepestFirst(std::vector<T> items, DepthOf depth) {
    std::stable_sort(items.begin(), items.end(), [&](const T& a, const T& b) { return depth(a) > depth(b); });
    return items;
}

}  // namespace

TEmptyShells::TEmptyShells(std::vector<std::wstring> keepFolders) : keep_(std::move(keepFolders)) {}

void TEmptyShells::RemovedPath(const std::wstring& path) {
    const std::wstring parent = ParentFolder(common::Trim(path));
    if (!parent.empty()) folders_.emplace(FolderForm(parent), parent);
}

void TEmptyShells::RemovedRegistry(const platform::RegistryLocation& item, bool wasValue) {
    const std::wstring path = Trimmed(item.path);
    const std::wstring candidate = wasValue ? path : ParentKey(path);
    if (!candidate.empty()) keys_.insert({item.root, candidate, item.view});
}

bool TEmptyShells::IsProgramKeyPlace(HKEY root, const std::wstring& keyPath) {
    if (root != HKEY_LOCAL_MACHINE && root != HKEY_CURRENT_USER) return false;
    // "Software\<Vendor>\…" (either view) below a vendor the walks may enter; nothing shared.
    std::vector<std::wstring> parts;
    std::wstring part;
    for (const wchar_t c : LowerCase(Trimmed(keyPath)) + L"\\") {
        if (c != L'\\') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(std::move(part));
            part.clear();
        }
    }
    std::size_t vendor = 1;
    if (parts.size() > 1 && parts[1] == L"wow6432node") vendor = 2;
    if (parts.empty() || parts[0] != L"software" || parts.size() <= vendor) return false;
    return !IsSkippedVendorKey(parts[vendor]) && !IsProtectedKey(root, keyPath);
}

bool TEmptyShells::MayEmptyFolder(const std::wstring& form) const {
    if (form.empty() || !IsPlainAbsolutePath(form) || IsVolumeRoot(form)) return false;
    return std::none_of(keep_.begin(), keep_.end(), [&](const std::wstring& kept) {
        return kept.size() >= form.size() && kept.compare(0, form.size(), form) == 0;
    });
}

TEmptyShells::Removed TEmptyShells::Remove(const Actions& actions) {
    Removed removed;
    if (!folders_.empty()) {
        const TReservedFolders reserved;
        std::set<std::wstring> done;
        std::vector<std::wstring> start;
        for (const auto& [form, path] : folders_) start.push_back(path);
        for (std::wstring path : DeepestFirst(start, [](const std::wstring& p) { return Depth(p); })) {
            for (std::wstring form = FolderForm(path);
                 done.insert(form).second && MayEmptyFolder(form) && !reserved.IsReservedFolder(form) &&
                 !reserved.IsAboveReservedFolder(form);
                 path = ParentFolder(path), form = FolderForm(path)) {
                while (path.size() > 3 && path.back() == L'\\') path.pop_back();
                const DWORD attributes = platform::GetFileAttributesOf(path);
                if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
                    platform::IsReparsePoint(attributes) || !FolderIsEmpty(form))
                    break;
                if (actions.beforeFolder) actions.beforeFolder(path);
                if (!actions.removeFolder(path)) break;
                removed.folders.push_back(path);
            }
        }
    }
    std::set<Key> done;
    for (Key key : DeepestFirst(std::vector<Key>(keys_.begin(), keys_.end()), [](const Key& k) { return Depth(k.path); })) {
        while (!key.path.empty() && done.insert(key).second && IsProgramKeyPlace(key.root, key.path) && KeyIsEmpty(key)) {
            if (actions.beforeKey) actions.beforeKey(key);
            if (!actions.deleteKey(key)) break;
            removed.keys.push_back(key);
            key.path = ParentKey(key.path);
        }
    }
    return removed;
}

}  // namespace tarvo::leftovers
