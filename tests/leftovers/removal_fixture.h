#pragma once
// Result trees built by hand for the removal tests, and a progress view that records.

#include <string>
#include <vector>

#include "leftovers/power_scan_model.h"
#include "leftovers/result_tree.h"

namespace tarvo::test {

// "Name": a registry group of `registry` key items and a file group of `files` file items,
// unless a count is 0; items named "k0", "k1", … and "f0", … under `folder`.
inline std::unique_ptr<leftovers::TTreeNode> Node(const std::wstring& caption, leftovers::TNodeKind kind) {
    auto node = std::make_unique<leftovers::TTreeNode>();
    node->Caption = caption;
    node->Data.NodeKind = kind;
    return node;
}

inline leftovers::TTreeNode& AddProgram(leftovers::TResultTree& tree, const std::wstring& name) {
    auto program = Node(name + L"(0 items)", leftovers::nkProgram);
    program->Data.ValueName = name;
    tree.Programs.push_back(std::move(program));
    return *tree.Programs.back();
}

inline leftovers::TTreeNode& AddGroup(leftovers::TTreeNode& program, bool registry) {
    auto group = Node(registry ? L"Registry(0 items)" : L"File(0 items)",
                      registry ? leftovers::nkRegistryGroup : leftovers::nkFileGroup);
    group->Data.ValueName = registry ? L"Registry" : L"File";
    program.Children.push_back(std::move(group));
    return *program.Children.back();
}

inline leftovers::TTreeNode& AddKeyItem(leftovers::TTreeNode& group, HKEY root, const std::wstring& key,
                                        const std::wstring& value = {}, bool view64 = false) {
    auto item = Node(key + L"|" + value, leftovers::nkItem);
    item->Data.ItemKind = leftovers::FindingKind::Registry;
    item->Data.RootKey = root;
    item->Data.KeyPath = key;
    item->Data.ValueName = value;
    item->Data.View64 = view64;
    group.Children.push_back(std::move(item));
    return *group.Children.back();
}

inline leftovers::TTreeNode& AddFileItem(leftovers::TTreeNode& group, const std::wstring& path, bool folder = false) {
    auto item = Node(path, leftovers::nkItem);
    item->Data.ItemKind = leftovers::FindingKind::File;
    item->Data.FilePath = path;
    item->Data.FileKind = folder ? leftovers::PathKind::Folder : leftovers::PathKind::File;
    group.Children.push_back(std::move(item));
    return *group.Children.back();
}

class RecordingView final : public leftovers::IPowerScanView {
public:
    bool answer = true;
    std::function<void()> onPump;
    std::vector<int> progress;
    std::vector<std::wstring> items;
    bool deleteEnabled = false;
    bool running = false;
    bool moveAllowed = true;
    bool shredderTicked = false;
    int closes = 0;
    int confirms = 0;
    std::wstring link;
    std::wstring finished;

    void SetProgress(int percent) override { progress.push_back(percent); }
    void ShowCurrentItem(const std::wstring& text) override { items.push_back(text); }
    void Pump() override {
        if (onPump) onPump();
    }
    bool Confirm(const std::wstring&) override {
        ++confirms;
        return answer;
    }
    void SetRunning(bool on) override { running = on; }
    void AllowMove(bool allowed) override { moveAllowed = allowed; }
    void SetDeleteEnabled(bool enabled) override { deleteEnabled = enabled; }
    void SetLinkText(const std::wstring& text) override { link = text; }
    void SetShredderTicked(bool ticked) override { shredderTicked = ticked; }
    void TreeChanged() override {}
    void CloseWindow() override { ++closes; }
    void ShowFinished(const std::wstring& text) override { finished = text; }
};

}  // namespace tarvo::test
