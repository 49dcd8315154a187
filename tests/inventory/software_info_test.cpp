// The catalogue's life: refresh re-finds programs and hides the ones that went away, entry
// removal deletes the uninstall key for good, and the folder and name queries.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "inventory/software_info.h"
#include "support/scratch_folder.h"
#include "support/uninstall_fixture.h"

using namespace tarvo::inventory;
using tarvo::platform::RegistryView;
using tarvo::test::ScratchFolder;
using tarvo::test::UninstallFixture;

namespace {

TSoftInfo Program(const std::wstring& name, const std::wstring& command, bool view64 = false) {
    TSoftInfo e;
    e.DisplayName = name;
    e.UninstallString = command;
    e.View64 = view64;
    return e;
}

// A registry world the test changes between reads.
class FakeWorld {
public:
    std::vector<TSoftInfo> programs;
    TSoftwareInfo::Options Options(const ScratchFolder& scratch) {
        TSoftwareInfo::Options options;
        options.cacheFile = scratch.PathOf(L"SoftwareCache.ini");
        options.readInventory = [this](TSoftList& list) {
            for (const TSoftInfo& p : programs) list.push_back(std::make_unique<TSoftInfo>(p));
        };
        return options;
    }
};

std::vector<std::wstring> Visible(const TSoftwareInfo& catalogue) {
    std::vector<std::wstring> names;
    for (const auto& e : catalogue.Entries())
        if (!e->Hidden) names.push_back(e->DisplayName);
    return names;
}

using Names = std::vector<std::wstring>;

}  // namespace

TEST(Catalogue, RefreshRefindsKeepsAnalysisHidesTheGoneAndAppendsTheNew) {
    ScratchFolder scratch;
    FakeWorld world;
    world.programs = {Program(L"Editor", L"C:\\Editor\\unins.exe"), Program(L"Player", L"C:\\Player\\unins.exe"),
                      Program(L"Tool", L"C:\\Tool\\unins.exe")};
    TSoftwareInfo catalogue(nullptr, world.Options(scratch));
    ASSERT_EQ(catalogue.Count(), 3u);
    TSoftInfo* editor = catalogue.EntryAt(0);
    editor->Size = 123456;  // what the analysis found
    editor->UseRate = aurRarely;

    TSoftInfo fresh = Program(L"Viewer", L"C:\\Viewer\\unins.exe");
    fresh.UseRate = aurOften;
    fresh.UseText = L"often";
    fresh.Size = 77;
    world.programs = {Program(L"EDITOR", L"c:\\editor\\UNINS.exe"),  // the same program, other case
                      Program(L"Tool", L"C:\\Tool\\unins.exe", true),  // other view: another program
                      fresh};
    ASSERT_TRUE(catalogue.Refresh());

    EXPECT_EQ(Visible(catalogue), (Names{L"Editor", L"Tool", L"Viewer"}));
    ASSERT_EQ(catalogue.Count(), 5u) << "entries accumulate; none is freed";
    EXPECT_EQ(catalogue.EntryAt(0), editor) << "entries never move";
    EXPECT_EQ(editor->Size, 123456) << "analysed data stays";
    EXPECT_EQ(editor->UseRate, aurRarely);
    EXPECT_TRUE(catalogue.EntryAt(1)->Hidden) << "Player went away";
    EXPECT_TRUE(catalogue.EntryAt(2)->Hidden) << "the 32-bit Tool went away";
    EXPECT_TRUE(catalogue.EntryAt(3)->View64);
    const TSoftInfo* viewer = catalogue.EntryAt(4);
    EXPECT_EQ(viewer->Size, 77);
    EXPECT_EQ(viewer->UseRate, aurUnknown) << "usage belongs to the analysis that follows";
    EXPECT_TRUE(viewer->UseText.empty());

    // Coming back un-hides the old entry instead of adding another.
    world.programs.push_back(Program(L"Player", L"C:\\Player\\unins.exe"));
    ASSERT_TRUE(catalogue.Refresh());
    EXPECT_EQ(catalogue.Count(), 5u);
    EXPECT_FALSE(catalogue.EntryAt(1)->Hidden);
}

TEST(Catalogue, RefreshKeepsEntriesTheInventoryHides) {
    ScratchFolder scratch;
    FakeWorld world;
    TSoftInfo component = Program(L"Runtime", L"MsiExec.exe /X{1}");
    component.Hidden = true;
    world.programs = {component};
    TSoftwareInfo catalogue(nullptr, world.Options(scratch));
    ASSERT_TRUE(catalogue.Refresh());
    EXPECT_EQ(catalogue.Count(), 1u);
    EXPECT_TRUE(catalogue.EntryAt(0)->Hidden);
}

TEST(Catalogue, RemovedEntryStaysAwayWhileItsKeyIsGone) {
    ScratchFolder scratch;
    UninstallFixture fixture(HKEY_CURRENT_USER, RegistryView::Default);
    const std::wstring name = L"Removable " + fixture.keyName();
    fixture.Set(L"DisplayName", name).Set(L"UninstallString", L"C:\\Removable\\unins000.exe");

    TSoftwareInfo::Options options;
    options.cacheFile = scratch.PathOf(L"SoftwareCache.ini");
    TSoftwareInfo catalogue(nullptr, options);
    TSoftInfo* entry = nullptr;
    for (const auto& e : catalogue.Entries())
        if (e->DisplayName == name && !e->Hidden) entry = e.get();
    ASSERT_NE(entry, nullptr);

    ASSERT_TRUE(catalogue.RemoveEntry(*entry));
    EXPECT_TRUE(entry->Hidden);
    EXPECT_FALSE(tarvo::platform::ValueExists(entry->Location(), L"DisplayName"));
    EXPECT_FALSE(catalogue.RemoveEntry(*entry)) << "a hidden entry is not removed twice";

    const std::size_t count = catalogue.Count();
    ASSERT_TRUE(catalogue.Refresh());
    EXPECT_TRUE(entry->Hidden);
    EXPECT_EQ(catalogue.Count(), count);
    for (const auto& e : catalogue.Entries()) EXPECT_FALSE(e->DisplayName == name && !e->Hidden);
}

TEST(Catalogue, RemovingAnEntryWhoseKeyIsAlreadyGoneSucceeds) {
    ScratchFolder scratch;
    FakeWorld world;
    TSoftInfo ghost = Program(L"Ghost", L"x");
    ghost.RootKeyName = L"HKEY_CURRENT_USER";
    ghost.KeyPath = L"\\Software\\TarvoNoSuchKey\\Ghost";
    world.programs = {ghost};
    TSoftwareInfo catalogue(nullptr, world.Options(scratch));
    EXPECT_TRUE(catalogue.RemoveEntry(*catalogue.EntryAt(0)));
    EXPECT_TRUE(catalogue.EntryAt(0)->Hidden);

    TSoftInfo rootless = Program(L"Rootless", L"y");
    rootless.RootKeyName = L"HKEY_NOWHERE";
    rootless.KeyPath = L"\\Software\\X";
    world.programs = {rootless};
    TSoftwareInfo other(nullptr, world.Options(scratch));
    EXPECT_FALSE(other.RemoveEntry(*other.EntryAt(0))) << "a key that cannot be deleted keeps the entry";
    EXPECT_FALSE(other.EntryAt(0)->Hidden);
}

TEST(Catalogue, FolderAndNameQueries) {
    ScratchFolder scratch;
    const std::wstring app = scratch.MakeFolder(L"App");
    scratch.MakeFolder(L"App\\bin");
    scratch.MakeFolder(L"Apps");
    FakeWorld world;
    auto at = [](const std::wstring& name, const std::wstring& folder) {
        TSoftInfo e = Program(name, name);
        e.InstallLocation = folder;
        return e;
    };
    TSoftInfo hidden = at(L"Old App", app);
    hidden.Hidden = true;
    world.programs = {at(L"App One", app),
                      at(L"App Two", scratch.path() + L"//App/"),
                      at(L"App Bin", app + L"\\bin"),
                      at(L"Apps", scratch.path() + L"\\Apps"),
                      hidden,
                      at(L"Nowhere", L"")};
    TSoftwareInfo catalogue(nullptr, world.Options(scratch));

    using Indexes = std::vector<std::size_t>;
    Indexes indexes;
    EXPECT_EQ(catalogue.EntriesInFolder(app + L"\\program.exe", &indexes), 2);
    EXPECT_EQ(indexes, (Indexes{0, 1}));

    indexes = {99};
    EXPECT_EQ(catalogue.EntriesUnderFolder(app, &indexes), 3) << "the folder and below, never App's sibling Apps";
    EXPECT_EQ(indexes, (Indexes{99, 0, 1, 2})) << "appended to what the caller had";

    indexes.clear();
    EXPECT_EQ(catalogue.EntriesByName(L"app", &indexes), 4);
    EXPECT_EQ(indexes, (Indexes{0, 1, 2, 3}));

    EXPECT_EQ(catalogue.EntriesByName(L"app", nullptr), 0);
    EXPECT_EQ(catalogue.EntriesInFolder(app + L"\\x.exe", nullptr), 0);
    EXPECT_EQ(catalogue.EntryAt(6), nullptr);
}

TEST(Catalogue, NormalisedFolders) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"C:\\App", L"C:\\App\\"},     {L"C:\\App\\", L"C:\\App\\"}, {L"C:/App//bin", L"C:\\App\\bin\\"},
        {L"C:\\\\App", L"C:\\App\\"}, {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalisedFolder(c.in), c.out) << c.in;
}
