#include "leftovers/removal_guard.h"

#include "platform/registry.h"
#include "platform/files.h"

namespace tarvo::leftovers {

namespace {

std::wstring WithoutTrailingSlash(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

bool IsLink(DWORD attributes) { return platform::IsReparsePoint(attributes); }

}  // namespace

TRemovalGuard::TRemovalGuard(TGuardProbes probes) : probes_(std::move(probes)) {
    if (!probes_.attributesOf) probes_.attributesOf = [](const std::wstring& p) { return platform::GetFileAttributesOf(p); };
    if (!probes_.isRegistryLink)
        probes_.isRegistryLink = [](const platform::RegistryLocation& key) {
            return platform::IsRegistryLink(key.root, key.path, key.view);
        };
}

std::wstring TRemovalGuard::Id(const TMyTreeData& item) {
    if (item.ItemKind == FindingKind::File) return L"F" + WithoutTrailingSlash(item.FilePath);
    return L"R" + std::to_wstring(reinterpret_cast<std::uintptr_t>(item.RootKey)) + (item.View64 ? L"64" : L"32") +
           L"\\" + item.KeyPath;
}

TScannedShape TRemovalGuard::FileShape(const std::wstring& rawPath) {
    TScannedShape shape;
    const std::wstring path = WithoutTrailingSlash(rawPath);
    shape.attributes = probes_.attributesOf(path);
    // Every folder on the way, outermost first, past the volume root.
    for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        const std::wstring prefix = path.substr(0, at);
        if (IsLink(probes_.attributesOf(prefix))) {
            shape.firstLink = prefix;
            break;
        }
    }
    return shape;
}

std::wstring TRemovalGuard::RegistryLink(const TMyTreeData& item) {
    // The key and every key above it; the outermost link is what matters.
    platform::RegistryLocation key{item.RootKey, {}, platform::ViewOf(item.View64)};
    const std::wstring& path = item.KeyPath;
    for (std::size_t at = path.find(L'\\'); ; at = path.find(L'\\', at + 1)) {
        key.path = at == std::wstring::npos ? path : path.substr(0, at);
        if (!key.path.empty() && probes_.isRegistryLink(key)) return key.path;
        if (at == std::wstring::npos) break;
    }
    return {};
}

void TRemovalGuard::Remember(const TMyTreeData& item) {
    if (item.NodeKind != nkItem) return;
    TScannedShape shape;
    if (item.ItemKind == FindingKind::File)
        shape = FileShape(item.FilePath);
    else
        shape.firstLink = RegistryLink(item);
    shapes_[Id(item)] = shape;
}

std::wstring TRemovalGuard::Refusal(const TMyTreeData& item) {
    if (item.NodeKind != nkItem) return {};
    const auto known = shapes_.find(Id(item));
    if (item.ItemKind != FindingKind::File) {
        const std::wstring link = RegistryLink(item);
        // A link key itself is never deleted: the registry would follow it.
        if (!link.empty() && link == item.KeyPath) return L"the key is a registry link";
        if (!link.empty() && (known == shapes_.end() || known->second.firstLink != link))
            return L"the key is now reached through a registry link";
        return {};
    }
    const TScannedShape now = FileShape(item.FilePath);
    if (!now.firstLink.empty() && (known == shapes_.end() || known->second.firstLink != now.firstLink))
        return L"the path now runs through a link";
    if (now.attributes == INVALID_FILE_ATTRIBUTES) return {};
    const DWORD before = known == shapes_.end() ? INVALID_FILE_ATTRIBUTES : known->second.attributes;
    if (IsLink(now.attributes) && (before == INVALID_FILE_ATTRIBUTES || !IsLink(before)))
        return L"it has become a link since the scan";
    const bool folderNow = (now.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folderNow != (item.FileKind == PathKind::Folder)) return L"it is no longer what was scanned";
    return {};
}

}  // namespace tarvo::leftovers
