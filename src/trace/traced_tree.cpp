#include "trace/traced_tree.h"

#include <map>

#include "common/text.h"
#include "language/language.h"
#include "leftovers/removal.h"
#include "leftovers/value_text.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace tarvo::trace {

using leftovers::TTreeNode;
using language::GetText;

namespace {

std::wstring KeyId(const std::wstring& root, bool view64, const std::wstring& path) {
    return common::LowerCase(root + (view64 ? L"|64|" : L"|32|") + path);
}

std::wstring FindingId(const leftovers::TMyTreeData& d) {
    if (d.ItemKind == leftovers::FindingKind::File) return common::LowerCase(d.FilePath);
    return KeyId(platform::RootName(d.RootKey), d.View64, d.KeyPath) +
           (leftovers::IsValueItem(d) ? L"|" + common::LowerCase(d.ValueName) : std::wstring());
}

std::wstring ParentOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !platform::IsReparsePoint(attributes);
}

class Builder {
public:
    Builder(const Trace& trace, const PresentWorld& world) : world_(world) {
        for (const TraceItem& item : trace.items) {
            switch (item.kind) {
                case TraceItemKind::KeyCreated: keys_.insert(KeyId(item.root, item.view64, item.path)); break;
                case TraceItemKind::ValueCreated:
                    values_.insert(KeyId(item.root, item.view64, item.path) + L"|" + common::LowerCase(item.valueName));
                    break;
                case TraceItemKind::FolderCreated: folders_.insert(common::LowerCase(item.path)); break;
                case TraceItemKind::FileCreated: files_.insert(common::LowerCase(item.path)); break;
                default: break;
            }
        }
    }

    // Nothing but what the installer made is in the key now, at any depth.
    bool KeyFree(const std::wstring& root, bool view64, const std::wstring& path) {
        const std::wstring id = KeyId(root, view64, path);
        if (const auto it = keyFree_.find(id); it != keyFree_.end()) return it->second;
        const auto location = platform::RegistryLocation::FromNames(root, path, view64);
        bool free = true;
        for (const std::wstring& value : world_.valueNames(location))
            if (!values_.count(id + L"|" + common::LowerCase(value))) free = false;
        for (const std::wstring& subkey : world_.subkeyNames(location)) {
            if (!free) break;
            const std::wstring sub = path + L"\\" + subkey;
            if (!keys_.count(KeyId(root, view64, sub)) || !KeyFree(root, view64, sub)) free = false;
        }
        return keyFree_[id] = free;
    }

    bool FolderFree(const std::wstring& folder) {
        const std::wstring id = common::LowerCase(folder);
        if (const auto it = folderFree_.find(id); it != folderFree_.end()) return it->second;
        bool free = true;
        for (const std::wstring& name : world_.folderEntries(folder)) {
            const std::wstring path = folder + L"\\" + name;
            const std::wstring lower = common::LowerCase(path);
            if (IsFolder(world_.attributes(path)) ? !(folders_.count(lower) && FolderFree(path)) : !files_.count(lower)) {
                free = false;
                break;
            }
        }
        return folderFree_[id] = free;
    }

    bool Covered(const std::wstring& root, bool view64, std::wstring path) const {
        for (; !path.empty(); path = ParentOf(path))
            if (coveredKeys_.count(KeyId(root, view64, path))) return true;
        return false;
    }
    void Cover(const std::wstring& root, bool view64, const std::wstring& path) {
        coveredKeys_.insert(KeyId(root, view64, path));
    }

    const PresentWorld& world_;

private:
    std::set<std::wstring> keys_, values_, folders_, files_, coveredKeys_;
    std::map<std::wstring, bool> keyFree_, folderFree_;
};

std::unique_ptr<TTreeNode> Group(const std::wstring& name, int image, leftovers::TNodeKind kind) {
    auto node = std::make_unique<TTreeNode>();
    node->Image = image;
    node->StateImage = leftovers::kStateTicked;
    node->Data.ValueName = name;
    node->Data.NodeKind = kind;
    return node;
}

std::unique_ptr<TTreeNode> RegistryNode(const TraceItem& item, bool value) {
    auto node = std::make_unique<TTreeNode>();
    auto& d = node->Data;
    d.ItemKind = leftovers::FindingKind::Registry;
    d.View64 = item.view64;
    d.RootKey = platform::RootFromName(item.root);
    d.KeyPath = item.path;
    if (value) {
        d.ValueName = item.valueName;
        d.ValueData = leftovers::ValueText(item.typeAfter, item.after.data(), item.after.size());
        // An unnamed value with empty data must still read as a value, never as its key.
        if (d.ValueData.empty()) d.ValueData = L"\"\"";
    }
    node->Caption = leftovers::RegistryItemText(d.RootKey, d.KeyPath, d.ValueName, d.ValueData);
    node->Image = value ? leftovers::kImageRegistryValue : leftovers::kImageRegistryKey;
    node->StateImage = leftovers::kStateTicked;
    return node;
}

std::unique_ptr<TTreeNode> FileNode(const std::wstring& path, bool file) {
    auto node = std::make_unique<TTreeNode>();
    auto& d = node->Data;
    d.ItemKind = leftovers::FindingKind::File;
    d.FilePath = path;
    d.FileKind = file ? leftovers::PathKind::File : leftovers::PathKind::Folder;
    d.TreeImage = leftovers::kImageFileGroup;
    node->Caption = path;
    node->Image = leftovers::kImageFileGroup;
    node->StateImage = leftovers::kStateTicked;
    return node;
}

}  // namespace

std::wstring RecordedCaption() { return GetText(L"Trace_Recorded_M", L"recorded at installation"); }

PresentWorld RealWorld() {
    PresentWorld world;
    world.keyExists = [](const platform::RegistryLocation& key) {
        return platform::RegKeyExists(key.root, key.path, key.view);
    };
    world.valueExists = [](const platform::RegistryLocation& key, const std::wstring& value) {
        return platform::ValueExists(key, value);
    };
    world.valueNames = [](const platform::RegistryLocation& key) {
        platform::RegistryKey open;
        if (open.Open(key.root, key.path, KEY_READ, key.view) != ERROR_SUCCESS) return std::vector<std::wstring>{};
        return open.ValueNames();
    };
    world.subkeyNames = [](const platform::RegistryLocation& key) {
        platform::RegistryKey open;
        if (open.Open(key.root, key.path, KEY_READ, key.view) != ERROR_SUCCESS) return std::vector<std::wstring>{};
        return open.SubKeyNames();
    };
    world.folderEntries = [](const std::wstring& folder) {
        std::vector<std::wstring> names;
        platform::FileFinder finder;
        WIN32_FIND_DATAW data;
        if (!finder.FindFirst(folder + L"\\*", data)) return names;
        do {
            if (!platform::IsDotName(data.cFileName)) names.emplace_back(data.cFileName);
        } while (finder.FindNext(data));
        return names;
    };
    world.attributes = [](const std::wstring& path) { return platform::GetFileAttributesOf(path); };
    return world;
}

int AddTracedNode(const Trace& trace, const std::wstring& programName, leftovers::TResultTree& tree,
                  const PresentWorld& world) {
    Builder builder(trace, world);
    auto registry = Group(GetText(L"Registry_M", L"Registry"), leftovers::kImageRegistryGroup, leftovers::nkRegistryGroup);
    auto files = Group(GetText(L"File_M", L"File"), leftovers::kImageFileGroup, leftovers::nkFileGroup);
    for (const TraceItem& item : trace.items) {
        const auto location = platform::RegistryLocation::FromNames(item.root, item.path, item.view64);
        switch (item.kind) {
            case TraceItemKind::KeyCreated:
                if (builder.Covered(item.root, item.view64, item.path) || !world.keyExists(location) ||
                    !builder.KeyFree(item.root, item.view64, item.path))
                    break;
                builder.Cover(item.root, item.view64, item.path);
                registry->Children.push_back(RegistryNode(item, false));
                break;
            case TraceItemKind::ValueCreated:
                if (builder.Covered(item.root, item.view64, item.path) || !world.valueExists(location, item.valueName))
                    break;
                registry->Children.push_back(RegistryNode(item, true));
                break;
            case TraceItemKind::FolderCreated:
                if (IsFolder(world.attributes(item.path)) && builder.FolderFree(item.path))
                    files->Children.push_back(FileNode(item.path, false));
                break;
            case TraceItemKind::FileCreated: {
                const DWORD attributes = world.attributes(item.path);
                if (attributes != INVALID_FILE_ATTRIBUTES && !IsFolder(attributes))
                    files->Children.push_back(FileNode(item.path, true));
                break;
            }
            default: break;
        }
    }
    const int count = static_cast<int>(registry->Children.size() + files->Children.size());
    if (count == 0) return 0;

    std::set<std::wstring> offered;
    for (const auto* group : {registry.get(), files.get()})
        for (const auto& item : group->Children) offered.insert(FindingId(item->Data));
    for (auto& program : tree.Programs)
        for (auto& group : program->Children)
            std::erase_if(group->Children, [&](const std::unique_ptr<TTreeNode>& item) {
                return offered.count(FindingId(item->Data)) > 0;
            });
    for (auto& program : tree.Programs)
        std::erase_if(program->Children, [](const std::unique_ptr<TTreeNode>& group) { return group->Children.empty(); });
    std::erase_if(tree.Programs, [](const std::unique_ptr<TTreeNode>& program) { return program->Children.empty(); });

    auto program = Group(programName + L" (" + RecordedCaption() + L")", 0, leftovers::nkProgram);
    for (auto* group : {&registry, &files}) {
        if ((*group)->Children.empty()) continue;
        (*group)->Caption = leftovers::CountCaption((*group)->Data.ValueName, (*group)->Children.size());
        program->Children.push_back(std::move(*group));
    }
    program->Caption = leftovers::CountCaption(program->Data.ValueName, static_cast<std::size_t>(count));
    tree.Programs.insert(tree.Programs.begin(), std::move(program));
    leftovers::RecountCaptions(tree);
    return count;
}

}  // namespace tarvo::trace
