#pragma once
// The leftover result tree as plain data: one program node per scanned entry, its registry
// and file groups, and their items, each with caption, image and tick state. The removal
// window shows this tree and works on it; nothing here knows a window.

#include <memory>
#include <string>
#include <vector>

#include "leftovers/scan_records.h"
#include "platform/shell.h"

namespace tarvo::leftovers {

// The fixed first images of the tree image list; the window copies them in before a scan.
inline constexpr int kImageRegistryGroup = 0;
inline constexpr int kImageRegistryKey = 1;
inline constexpr int kImageRegistryValue = 2;
inline constexpr int kImageFileGroup = 3;
inline constexpr int kFixedImageCount = 4;

// Tick state images.
inline constexpr int kStateUnticked = 1;
inline constexpr int kStateTicked = 2;
inline constexpr int kStatePartlyTicked = 3;

// The tree's image list. The window implements it over its own image list; the console
// and the tests keep the icons in TIconList.
class TreeImages {
public:
    virtual ~TreeImages() = default;
    [[nodiscard]] virtual int Count() const = 0;
    // Appends the icon and returns its index; -1 when it could not be added.
    virtual int Add(platform::unique_hicon icon) = 0;
};

// Icons held in memory, in order. Starts with the fixed images as empty slots.
class TIconList final : public TreeImages {
public:
    TIconList();
    [[nodiscard]] int Count() const override { return static_cast<int>(icons_.size()); }
    int Add(platform::unique_hicon icon) override;
    [[nodiscard]] HICON Icon(int index) const noexcept;

private:
    std::vector<platform::unique_hicon> icons_;
};

// The catalogue's small image list, where the program node's icon comes from when there is one.
class CatalogueImages {
public:
    virtual ~CatalogueImages() = default;
    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual platform::unique_hicon Icon(int index) const = 0;
};

struct TTreeNode {
    std::wstring Caption;
    int Image = 0;
    int StateImage = kStateUnticked;
    TMyTreeData Data;
    std::vector<std::unique_ptr<TTreeNode>> Children;
};

// Program nodes in scan order. Nodes never move once added, so the window may hold
// pointers to them.
struct TResultTree {
    std::vector<std::unique_ptr<TTreeNode>> Programs;
    // The folders of the catalogue's other programs (FolderForm): a removal never empties
    // away one of them, nor a folder above one.
    std::vector<std::wstring> KeepFolders;
};

// "Name(1 item)" or "Name(%d items)"; no blank before the parenthesis.
[[nodiscard]] std::wstring CountCaption(const std::wstring& name, std::size_t count);

// The number of item nodes below every program node of the tree.
[[nodiscard]] int FindingCount(const TResultTree& tree);
[[nodiscard]] int FindingCount(const TTreeNode& programNode);

}  // namespace tarvo::leftovers
