#include "trace/file_snapshot.h"

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/host.h"
#include "trace/trace_hash.h"

namespace tarvo::trace {

namespace {

std::wstring WithSlash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

TraceItem FileItem(TraceItemKind kind, const std::wstring& path) {
    TraceItem item;
    item.kind = kind;
    item.path = path;
    return item;
}

}  // namespace

std::vector<std::wstring> DefaultWatchedDrives() {
    std::vector<std::wstring> drives;
    if (platform::RunningUnderWine()) {
        const std::wstring windows = platform::GetWindowsFolder();
        if (windows.size() >= 2) drives.push_back(windows.substr(0, 2) + L"\\");
        return drives;
    }
    for (const std::wstring& root : platform::GetLogicalDriveRoots())
        if (platform::GetDriveTypeOf(root) == DRIVE_FIXED) drives.push_back(root);
    return drives;
}

std::vector<FileSnapshot::Entry> FileSnapshot::List(const std::wstring& folder, std::uint64_t& folderStamp) const {
    std::vector<Entry> entries;
    folderStamp = 0;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data;
    if (!finder.FindFirst(folder + L"*", data)) return entries;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        Entry entry;
        entry.name = data.cFileName;
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                       !platform::IsReparsePoint(data.dwFileAttributes);
        if (entry.folder && filter_.SkipsFolder(folder + entry.name)) continue;
        entry.nameHash = HashName(entry.name);
        // A folder's own time moves with its listing, which its own node already covers.
        std::uint64_t stamp = HashValue(data.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
        if (!entry.folder) {
            stamp = HashValue((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, stamp);
            stamp = HashValue((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                  data.ftLastWriteTime.dwLowDateTime,
                              stamp);
        }
        entry.stamp = stamp;
        // A sum does not depend on the order the file system lists entries in.
        folderStamp += HashValue(stamp, entry.nameHash);
        entries.push_back(std::move(entry));
    } while (finder.FindNext(data));
    return entries;
}

void FileSnapshot::Take(const std::vector<std::wstring>& roots, const TraceFilter& filter) {
    tree_.Clear();
    roots_.clear();
    rootNodes_.clear();
    filter_ = filter;
    // The real System32 is watched, not the folder WOW64 shows a 32-bit process under its name.
    const platform::FsRedirectionDisabled native(true);
    for (const std::wstring& root : roots) {
        roots_.push_back(WithSlash(root));
        std::uint64_t stamp = 0;
        (void)List(roots_.back(), stamp);
        rootNodes_.push_back(tree_.AddRoot(HashName(roots_.back()), stamp));
        Walk(roots_.back(), rootNodes_.back());
    }
    tree_.Compact();
}

void FileSnapshot::Walk(const std::wstring& folder, std::uint32_t node) {
    std::uint64_t folderStamp = 0;
    const std::vector<Entry> entries = List(folder, folderStamp);
    std::vector<PendingChild> children;
    children.reserve(entries.size());
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        std::uint64_t stamp = entries[i].stamp;
        if (entries[i].folder) stamp = 0;  // set below from the folder's own listing
        children.push_back({entries[i].nameHash, stamp, i, !entries[i].folder});
    }
    const std::uint32_t first = tree_.PlaceChildren(node, children);
    for (std::uint32_t i = 0; i < children.size(); ++i) {
        if (children[i].leaf) continue;
        Walk(folder + entries[children[i].source].name + L"\\", first + i);
    }
    tree_.SetStamp(node, folderStamp);
}

std::vector<TraceItem> FileSnapshot::Compare() {
    std::vector<TraceItem> items;
    out_ = &items;
    const platform::FsRedirectionDisabled native(true);
    for (std::size_t i = 0; i < roots_.size(); ++i) CompareFolder(roots_[i], rootNodes_[i]);
    out_ = nullptr;
    return items;
}

void FileSnapshot::CompareFolder(const std::wstring& folder, std::uint32_t node) {
    std::uint64_t folderStamp = 0;
    const std::vector<Entry> entries = List(folder, folderStamp);
    const bool same = folderStamp == tree_.Node(node).stamp;
    for (const Entry& entry : entries) {
        if (same && !entry.folder) continue;
        const std::uint32_t child = tree_.FindChild(node, entry.nameHash);
        const bool wasFolder = child != kNoNode && tree_.Node(child).count != kLeaf;
        const std::wstring path = folder + entry.name;
        if (child == kNoNode || wasFolder != entry.folder) {
            if (entry.folder) {
                out_->push_back(FileItem(TraceItemKind::FolderCreated, path));
                AddCreated(path + L"\\");
            } else {
                out_->push_back(FileItem(TraceItemKind::FileCreated, path));
            }
        } else if (entry.folder) {
            CompareFolder(path + L"\\", child);
        } else if (tree_.Node(child).stamp != entry.stamp) {
            out_->push_back(FileItem(TraceItemKind::FileChanged, path));
        }
    }
}

void FileSnapshot::AddCreated(const std::wstring& folder) {
    std::uint64_t stamp = 0;
    for (const Entry& entry : List(folder, stamp)) {
        const std::wstring path = folder + entry.name;
        out_->push_back(FileItem(entry.folder ? TraceItemKind::FolderCreated : TraceItemKind::FileCreated, path));
        if (entry.folder) AddCreated(path + L"\\");
    }
}

}  // namespace tarvo::trace
