// What a removal by trace offers and puts back: never what existed before or what another
// program added since, a changed value only while it holds the installer's data, a list value
// only without the installer's elements.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "leftovers/result_tree.h"
#include "trace/put_back.h"
#include "trace/traced_tree.h"

namespace tarvo::trace {
namespace {

std::vector<BYTE> Sz(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return {bytes, bytes + (text.size() + 1) * sizeof(wchar_t)};
}

TraceItem Changed(DWORD typeBefore, std::vector<BYTE> before, DWORD typeAfter, std::vector<BYTE> after) {
    TraceItem item;
    item.kind = TraceItemKind::ValueChanged;
    item.root = L"HKEY_CURRENT_USER";
    item.path = L"Environment";
    item.valueName = L"Path";
    item.typeBefore = typeBefore;
    item.before = std::move(before);
    item.typeAfter = typeAfter;
    item.after = std::move(after);
    return item;
}

TEST(PutBack, RestoresOnlyWhatStillHoldsTheInstallersDataAndDropsOnlyItsElements) {
    const DWORD one = 1, two = 2, three = 3;
    const auto dword = [](const DWORD& v) { return std::vector<BYTE>(reinterpret_cast<const BYTE*>(&v), reinterpret_cast<const BYTE*>(&v) + 4); };
    struct Case {
        const char* what;
        TraceItem item;
        std::optional<platform::RegistryValue> now;
        PutBackAction action;
        std::wstring written;  // for string results
    };
    const std::vector<Case> cases = {
        {"unchanged since: back to before", Changed(REG_DWORD, dword(one), REG_DWORD, dword(two)),
         platform::RegistryValue{REG_DWORD, dword(two)}, PutBackAction::Restore, {}},
        {"set again by someone: left", Changed(REG_DWORD, dword(one), REG_DWORD, dword(two)),
         platform::RegistryValue{REG_DWORD, dword(three)}, PutBackAction::None, {}},
        {"deleted since: left", Changed(REG_DWORD, dword(one), REG_DWORD, dword(two)), std::nullopt, PutBackAction::None, {}},
        {"appended element goes", Changed(REG_EXPAND_SZ, Sz(L"C:\\a;C:\\b"), REG_EXPAND_SZ, Sz(L"C:\\a;C:\\b;C:\\p\\bin")),
         platform::RegistryValue{REG_EXPAND_SZ, Sz(L"C:\\a;C:\\b;C:\\p\\bin")}, PutBackAction::DropElements, L"C:\\a;C:\\b"},
        {"the user's later element stays", Changed(REG_SZ, Sz(L"C:\\a;C:\\b"), REG_SZ, Sz(L"C:\\a;C:\\b;C:\\p\\bin")),
         platform::RegistryValue{REG_SZ, Sz(L"C:\\a;C:\\u;C:\\b;c:\\P\\BIN;C:\\later")}, PutBackAction::DropElements,
         L"C:\\a;C:\\u;C:\\b;C:\\later"},
        {"prepended element goes", Changed(REG_SZ, Sz(L"C:\\a"), REG_SZ, Sz(L"C:\\p;C:\\a")),
         platform::RegistryValue{REG_SZ, Sz(L"C:\\p;C:\\a")}, PutBackAction::DropElements, L"C:\\a"},
        {"element gone already: left", Changed(REG_SZ, Sz(L"C:\\a"), REG_SZ, Sz(L"C:\\a;C:\\p")),
         platform::RegistryValue{REG_SZ, Sz(L"C:\\a;C:\\u")}, PutBackAction::None, {}},
        {"a replaced list is no append: restored while unchanged", Changed(REG_SZ, Sz(L"C:\\a;C:\\b"), REG_SZ, Sz(L"C:\\z")),
         platform::RegistryValue{REG_SZ, Sz(L"C:\\z")}, PutBackAction::Restore, L"C:\\a;C:\\b"},
        {"a replaced list changed since: left", Changed(REG_SZ, Sz(L"C:\\a;C:\\b"), REG_SZ, Sz(L"C:\\z")),
         platform::RegistryValue{REG_SZ, Sz(L"C:\\z;C:\\u")}, PutBackAction::None, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PutBack decision = DecidePutBack(c.item, c.now);
        EXPECT_EQ(decision.action, c.action);
        if (!c.written.empty()) {
            EXPECT_EQ(platform::RegistryValue({decision.type, decision.data}).AsString(), c.written);
        }
    }
}

TEST(PutBack, WritesBacksUpAndAnnouncesEnvironmentChanges) {
    std::map<std::wstring, platform::RegistryValue> registry = {
        {L"Path", {REG_SZ, Sz(L"C:\\a;C:\\p")}}, {L"Other", {REG_SZ, Sz(L"user's")}}};
    std::vector<std::wstring> saved;
    PutBackActions actions;
    actions.read = [&](const platform::RegistryLocation&, const std::wstring& name) {
        const auto it = registry.find(name);
        return it == registry.end() ? std::optional<platform::RegistryValue>{} : std::optional(it->second);
    };
    actions.write = [&](const platform::RegistryLocation&, const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
        registry[name] = {type, data};
        return true;
    };
    actions.save = [&](const platform::RegistryLocation&, const std::wstring& name) {
        saved.push_back(name);
        return true;
    };
    TraceItem other = Changed(REG_SZ, Sz(L"old"), REG_SZ, Sz(L"installer's"));
    other.valueName = L"Other";
    const PutBackReport report =
        PutBackChangedValues({Changed(REG_SZ, Sz(L"C:\\a"), REG_SZ, Sz(L"C:\\a;C:\\p")), other}, actions);
    EXPECT_EQ(report.restored, 1);
    EXPECT_EQ(report.leftAlone, 1);
    EXPECT_TRUE(report.environmentChanged);
    EXPECT_EQ(saved, std::vector<std::wstring>{L"Path"});
    EXPECT_EQ(registry[L"Path"].AsString(), L"C:\\a");
    EXPECT_EQ(registry[L"Other"].AsString(), L"user's");
}

// A world of keys and folders as they are now, for the tree builder.
struct FakeWorld {
    std::map<std::wstring, std::set<std::wstring>> values, subkeys;  // by key path
    std::map<std::wstring, std::set<std::wstring>> entries;           // by folder
    std::set<std::wstring> files;

    PresentWorld World() const {
        PresentWorld w;
        w.keyExists = [this](const platform::RegistryLocation& k) { return values.count(k.path) > 0; };
        w.valueExists = [this](const platform::RegistryLocation& k, const std::wstring& v) {
            return values.count(k.path) && values.at(k.path).count(v);
        };
        w.valueNames = [this](const platform::RegistryLocation& k) {
            return values.count(k.path) ? std::vector<std::wstring>(values.at(k.path).begin(), values.at(k.path).end())
                                        : std::vector<std::wstring>{};
        };
        w.subkeyNames = [this](const platform::RegistryLocation& k) {
            return subkeys.count(k.path) ? std::vector<std::wstring>(subkeys.at(k.path).begin(), subkeys.at(k.path).end())
                                         : std::vector<std::wstring>{};
        };
        w.folderEntries = [this](const std::wstring& f) {
            return entries.count(f) ? std::vector<std::wstring>(entries.at(f).begin(), entries.at(f).end())
                                    : std::vector<std::wstring>{};
        };
        w.attributes = [this](const std::wstring& p) -> DWORD {
            if (entries.count(p)) return FILE_ATTRIBUTE_DIRECTORY;
            return files.count(p) ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
        };
        return w;
    }
};

TraceItem Made(TraceItemKind kind, const std::wstring& path, const std::wstring& value = {}) {
    TraceItem item;
    item.kind = kind;
    item.path = path;
    item.valueName = value;
    if (kind == TraceItemKind::KeyCreated || kind == TraceItemKind::ValueCreated) {
        item.root = L"HKEY_LOCAL_MACHINE";
        item.view64 = true;
        item.typeAfter = REG_SZ;
        item.after = Sz(L"v");
    }
    return item;
}

TEST(TracedTree, OffersTheInstallersThingsOnlyWhereNothingElseLivesAndFirst) {
    FakeWorld world;
    // Vendor\A holds only the installer's; Vendor\B got another program's value since.
    world.values = {{L"SOFTWARE\\Vendor", {L"Own"}}, {L"SOFTWARE\\Vendor\\A", {L"x"}}, {L"SOFTWARE\\Vendor\\B", {L"y", L"foreign"}},
                    {L"SOFTWARE\\Old", {L"added"}}};
    world.subkeys = {{L"SOFTWARE\\Vendor", {L"A", L"B"}}};
    // C:\G holds a later program's file; C:\G\cache only the installer's.
    world.entries = {{L"C:\\G", {L"cache", L"neighbour.dat"}}, {L"C:\\G\\cache", {L"index.bin"}}};
    world.files = {L"C:\\G\\cache\\index.bin", L"C:\\G\\neighbour.dat", L"C:\\sys\\helper.dll"};
    Trace trace;
    trace.items = {Made(TraceItemKind::KeyCreated, L"SOFTWARE\\Vendor"),
                   Made(TraceItemKind::ValueCreated, L"SOFTWARE\\Vendor", L"Own"),
                   Made(TraceItemKind::KeyCreated, L"SOFTWARE\\Vendor\\A"),
                   Made(TraceItemKind::ValueCreated, L"SOFTWARE\\Vendor\\A", L"x"),
                   Made(TraceItemKind::KeyCreated, L"SOFTWARE\\Vendor\\B"),
                   Made(TraceItemKind::ValueCreated, L"SOFTWARE\\Vendor\\B", L"y"),
                   Made(TraceItemKind::ValueCreated, L"SOFTWARE\\Old", L"added"),
                   Made(TraceItemKind::ValueCreated, L"SOFTWARE\\Old", L"gone since"),
                   Made(TraceItemKind::FolderCreated, L"C:\\G"),
                   Made(TraceItemKind::FolderCreated, L"C:\\G\\cache"),
                   Made(TraceItemKind::FileCreated, L"C:\\G\\cache\\index.bin"),
                   Made(TraceItemKind::FileCreated, L"C:\\sys\\helper.dll"),
                   Made(TraceItemKind::FileChanged, L"C:\\sys\\shared.dll")};

    // The normal scan found the helper too: it is listed once, under the traced node.
    leftovers::TResultTree tree;
    auto scanned = std::make_unique<leftovers::TTreeNode>();
    auto group = std::make_unique<leftovers::TTreeNode>();
    auto helper = std::make_unique<leftovers::TTreeNode>();
    helper->Data.ItemKind = leftovers::FindingKind::File;
    helper->Data.FilePath = L"c:\\SYS\\helper.dll";
    group->Children.push_back(std::move(helper));
    scanned->Children.push_back(std::move(group));
    tree.Programs.push_back(std::move(scanned));

    EXPECT_EQ(AddTracedNode(trace, L"Trace World", tree, world.World()), 7);
    ASSERT_EQ(tree.Programs.size(), 1u);
    const auto& program = *tree.Programs.front();
    EXPECT_EQ(program.Caption, L"Trace World (recorded at installation)(7 items)");
    std::vector<std::wstring> offered;
    for (const auto& g : program.Children)
        for (const auto& item : g->Children) {
            EXPECT_EQ(item->StateImage, leftovers::kStateTicked);
            const auto& d = item->Data;
            offered.push_back(d.ItemKind == leftovers::FindingKind::File ? d.FilePath
                                                                         : d.KeyPath + (leftovers::IsValueItem(d) ? L"|" + d.ValueName : L""));
        }
    const std::vector<std::wstring> expected = {
        L"SOFTWARE\\Vendor|Own", L"SOFTWARE\\Vendor\\A", L"SOFTWARE\\Vendor\\B|y", L"SOFTWARE\\Old|added",
        L"C:\\G\\cache", L"C:\\G\\cache\\index.bin", L"C:\\sys\\helper.dll"};
    EXPECT_EQ(offered, std::vector<std::wstring>(expected.begin(), expected.end()));
}

}  // namespace
}  // namespace tarvo::trace
