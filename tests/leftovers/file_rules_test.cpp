// The file rules on real folders under Wine: the install folder and its listing, the
// installer's component folders, the program's folders in the data and start-menu trees,
// desktop shortcuts, our own products' data locations, and what no rule may reach: the
// content behind a link, a reserved folder, anything at all without an install folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>

#include "common/text.h"
#include "leftovers/file_rules.h"
#include "leftovers/folder_search.h"
#include "leftovers/rule_families.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "settings/system_info.h"
#include "support/folder_link.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::leftovers;
using tarvo::common::LowerCase;
using tarvo::inventory::TSoftInfo;
using tarvo::test::MakeFolderLink;
using tarvo::test::RemoveFolderLink;
using tarvo::test::ScratchFolder;

namespace {

// A folder of the test's own below a special folder, removed with its content afterwards.
class SpecialScratch {
public:
    explicit SpecialScratch(int csidl)
        : path_(tarvo::platform::GetSpecialFolderPath(csidl) + L"\\" + tarvo::test::UniqueName()) {
        EXPECT_TRUE(tarvo::platform::CreateDirectoryOf(path_)) << path_;
    }
    ~SpecialScratch() { tarvo::test::RemoveTree(path_); }
    SpecialScratch(const SpecialScratch&) = delete;
    SpecialScratch& operator=(const SpecialScratch&) = delete;
    [[nodiscard]] const std::wstring& path() const { return path_; }
    std::wstring Folder(const std::wstring& relative) const {
        std::wstring path = path_;
        for (std::size_t start = 0, end = 0; end != std::wstring::npos; start = end + 1) {
            end = relative.find(L'\\', start);
            path += L"\\" + relative.substr(start, end - start);
            (void)tarvo::platform::CreateDirectoryOf(path);
        }
        return path;
    }
    std::wstring File(const std::wstring& relative) const {
        if (const auto slash = relative.rfind(L'\\'); slash != std::wstring::npos) Folder(relative.substr(0, slash));
        const std::wstring path = path_ + L"\\" + relative;
        EXPECT_TRUE(tarvo::platform::CreateFileOf(path, GENERIC_WRITE, 0, CREATE_ALWAYS)) << path;
        return path;
    }

private:
    std::wstring path_;
};

// One run of the file rules for a program, with an empty maker table unless one is given.
struct RuleRun {
    TSoftInfo entry;
    TFileterManage makers{std::vector<TFilterData>{}};
    std::vector<std::wstring> msiFolders;
    std::function<DWORD(const std::wstring&)> attributesOf;
    TIconList images;

    std::vector<TFileInfo> Files(const FileRuleInput& input) {
        ScanOptions options;
        options.makerTable = &makers;
        options.attributesOf = attributesOf;
        TRegeditScanClasses scan(entry, images, options);
        scan.MsiComponentFolders = msiFolders;
        RunFileRules(scan, input);
        EXPECT_TRUE(scan.MsiComponentFolders.empty());
        return scan.FileResults;
    }
    std::vector<std::wstring> Paths(const FileRuleInput& input) {
        std::vector<std::wstring> paths;
        for (const auto& file : Files(input)) paths.push_back(LowerCase(file.Path));
        return paths;
    }
};

TSoftInfo Program(const std::wstring& location, const std::wstring& publisher = {}) {
    TSoftInfo entry;
    entry.DisplayName = tarvo::test::UniqueName(L"FileRules");
    entry.Publisher = publisher;
    entry.InstallLocation = location;
    return entry;
}

std::wstring L(const std::wstring& path) { return LowerCase(path); }

std::size_t IndexOf(const std::vector<std::wstring>& paths, const std::wstring& path) {
    return static_cast<std::size_t>(std::find(paths.begin(), paths.end(), L(path)) - paths.begin());
}

bool HasPrefix(const std::vector<std::wstring>& paths, const std::wstring& prefix) {
    return std::any_of(paths.begin(), paths.end(), [&](const std::wstring& p) { return p.rfind(L(prefix), 0) == 0; });
}

}  // namespace

TEST(FileRules, InstallFolderThenItsContentEachFolderBeforeWhatItHolds) {
    ScratchFolder scratch;
    const std::wstring foo = scratch.MakeFolder(L"Foo");
    scratch.MakeFile(L"Foo\\a.dll", "abcd");
    scratch.MakeFile(L"Foo\\sub\\b.txt", "b");
    scratch.MakeFile(L"Foo\\.hidden", "h");
    scratch.MakeFile(L"Foo\\.git\\config", "c");
    RuleRun run;
    run.entry = Program(foo);
    const auto files = run.Files({foo, {}, {}});
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0].Path, L(foo) + L"\\");
    EXPECT_EQ(files[0].Kind, PathKind::Folder);
    std::vector<std::wstring> paths;
    for (const auto& file : files) paths.push_back(L(file.Path));
    // Enumeration order is the file system's; a folder always comes before its content.
    EXPECT_LT(IndexOf(paths, foo + L"\\sub"), IndexOf(paths, foo + L"\\sub\\b.txt"));
    ASSERT_LT(IndexOf(paths, foo + L"\\a.dll"), files.size());
    const auto dll = files[IndexOf(paths, foo + L"\\a.dll")];
    EXPECT_EQ(dll.Kind, PathKind::File);
    EXPECT_EQ(dll.Size, 4);
    EXPECT_EQ(files[IndexOf(paths, foo + L"\\sub")].Kind, PathKind::Folder);
    EXPECT_FALSE(HasPrefix(paths, foo + L"\\."));
}

TEST(FileRules, NoInstallFolderMeansNoFileFindingsAtAll) {
    // An empty needle would match every shortcut and every folder name.
    const tarvo::platform::ComApartment com;
    ScratchFolder scratch;
    const std::wstring other = scratch.MakeFolder(L"Other");
    scratch.MakeFile(L"Other\\x.exe", "MZ");
    const std::wstring link = tarvo::platform::GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" +
                              tarvo::test::UniqueName(L"Link") + L".lnk";
    ASSERT_TRUE(tarvo::platform::CreateShellLink(link, other + L"\\x.exe"));
    SpecialScratch data(CSIDL_COMMON_APPDATA);
    RuleRun run;
    run.entry = Program({}, L"Acme");
    data.File(run.entry.DisplayName + L"\\kept.txt");
    run.msiFolders = {other};
    const std::wstring programFiles = tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES);
    for (const std::wstring& location : {std::wstring(), std::wstring(L"   "), programFiles, programFiles + L"\\"}) {
        run.entry.InstallLocation = location;
        EXPECT_TRUE(run.Files({location, L"{product}", L"x.exe"}).empty()) << location;
    }
    (void)tarvo::platform::DeleteFileOf(link);
}

TEST(FileRules, ProgramFolderInEachDataTreeIsReportedWithItsContent) {
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Foo");
    // The start menus lie inside the data trees here: one program folder per tree keeps the
    // depth-first answer independent of the file system's order.
    SpecialScratch common(CSIDL_COMMON_APPDATA), user(CSIDL_APPDATA), local(CSIDL_LOCAL_APPDATA),
        menu(CSIDL_COMMON_PROGRAMS);
    const std::wstring publisher = tarvo::test::UniqueName(L"Acme");
    RuleRun run;
    run.entry = Program(install, publisher);
    const std::wstring& name = run.entry.DisplayName;
    // A decoy named like the program outside the publisher's folder, the real one inside.
    common.File(L"A\\" + name + L"\\decoy.txt");
    const std::wstring found = common.Folder(L"B\\" + publisher + L"\\deep\\" + name);
    common.File(L"B\\" + publisher + L"\\deep\\" + name + L"\\x.txt");
    common.File(L"B\\" + publisher + L"\\deep\\" + name + L"\\sub\\y.txt");
    // No publisher folder below the user's data: the first folder by the name is used.
    const std::wstring userFound = user.Folder(L"C\\" + name);
    user.File(L"C\\" + name + L"\\settings.ini");
    // Caches and logs in the local tree.
    const std::wstring localFound = local.Folder(publisher + L"\\" + name);
    local.File(publisher + L"\\" + name + L"\\cache\\log.txt");
    const std::wstring group = menu.Folder(name);
    menu.File(name + L"\\Foo.lnk");

    const auto paths = run.Paths({install, {}, {}});
    ASSERT_GE(paths.size(), 12u);
    EXPECT_EQ(paths[0], L(install) + L"\\");
    for (const auto& path : {found, found + L"\\x.txt", found + L"\\sub", found + L"\\sub\\y.txt", userFound,
                             userFound + L"\\settings.ini", localFound, localFound + L"\\cache",
                             localFound + L"\\cache\\log.txt", group, group + L"\\Foo.lnk"})
        EXPECT_LT(IndexOf(paths, path), paths.size()) << path;
    // The decoy stays out; each found folder comes before its content, the trees in their order.
    EXPECT_EQ(paths.size(), 12u);
    EXPECT_LT(IndexOf(paths, found), IndexOf(paths, found + L"\\x.txt"));
    EXPECT_LT(IndexOf(paths, found + L"\\x.txt"), IndexOf(paths, userFound + L"\\settings.ini"));
    EXPECT_LT(IndexOf(paths, userFound + L"\\settings.ini"), IndexOf(paths, localFound));
    EXPECT_LT(IndexOf(paths, localFound + L"\\cache\\log.txt"), IndexOf(paths, group));
}

TEST(FileRules, InstallerIconCacheFolderIsReportedWithItsContent) {
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Foo");
    const std::wstring code = tarvo::test::UniqueName(L"{Product");
    const std::wstring cache = tarvo::platform::GetSpecialFolderPath(CSIDL_APPDATA) + L"\\Microsoft\\Installer\\" + code;
    (void)tarvo::platform::CreateDirectoryOf(tarvo::platform::GetSpecialFolderPath(CSIDL_APPDATA) + L"\\Microsoft");
    (void)tarvo::platform::CreateDirectoryOf(tarvo::platform::GetSpecialFolderPath(CSIDL_APPDATA) + L"\\Microsoft\\Installer");
    ASSERT_TRUE(tarvo::platform::CreateDirectoryOf(cache));
    ASSERT_TRUE(tarvo::platform::CreateFileOf(cache + L"\\icon.ico", GENERIC_WRITE, 0, CREATE_ALWAYS));
    RuleRun run;
    run.entry = Program(install);
    const auto paths = run.Paths({install, code, {}});
    tarvo::test::RemoveTree(cache);
    EXPECT_EQ(paths, (std::vector<std::wstring>{L(install) + L"\\", L(cache), L(cache) + L"\\icon.ico"}));
}

TEST(FileRules, DesktopShortcutIntoTheInstallFolderIsReportedOthersAreNot) {
    const tarvo::platform::ComApartment com;
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Foo");
    scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    scratch.MakeFile(L"Elsewhere\\bar.exe", "MZ");
    SpecialScratch ignored(CSIDL_COMMON_DESKTOPDIRECTORY);  // a folder on the desktop is never a shortcut
    const std::wstring desktop = tarvo::platform::GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::wstring id = tarvo::test::UniqueName(L"Link");
    const std::wstring into = desktop + L"\\" + id + L" Foo.lnk";
    const std::wstring away = desktop + L"\\" + id + L" Bar.lnk";
    const std::wstring broken = desktop + L"\\" + id + L" Broken.lnk";
    ASSERT_TRUE(tarvo::platform::CreateShellLink(into, install + L"\\foo.exe"));
    ASSERT_TRUE(tarvo::platform::CreateShellLink(away, scratch.PathOf(L"Elsewhere\\bar.exe")));
    ASSERT_TRUE(tarvo::platform::CreateFileOf(broken, GENERIC_WRITE, 0, CREATE_ALWAYS));

    EXPECT_EQ(L(ResolveShortcut(into)), L(install) + L"\\foo.exe");
    EXPECT_EQ(ResolveShortcut(broken), L"unable to resolve link");
    EXPECT_EQ(ResolveShortcut(scratch.PathOf(L"Foo\\foo.exe")), L"unable to resolve link");

    RuleRun run;
    run.entry = Program(install);
    const auto files = run.Files({install, {}, {}});
    for (const auto& link : {into, away, broken}) (void)tarvo::platform::DeleteFileOf(link);
    ASSERT_EQ(files.size(), 3u);  // folder, foo.exe, the shortcut
    EXPECT_EQ(L(files[2].Path), L(into));
    EXPECT_EQ(files[2].Kind, PathKind::File);
    EXPECT_GT(files[2].Size, 0);
}

TEST(FileRules, MakerRowFilterAndDataLocations) {
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\keep.dat", "k");
    scratch.MakeFile(L"Prog\\other.dll", "o");
    SpecialScratch data(CSIDL_APPDATA);
    const std::wstring base = data.path().substr(data.path().rfind(L'\\') + 1);
    data.File(L"Data\\state.bin");
    data.File(L"file.ini");
    RuleRun run;
    run.entry = Program(install, L"Acme");
    run.entry.DisplayName = L"Coyote";
    run.makers = TFileterManage({{L"acme coyote", L"",
                                  L"CSIDL_APPDATA\\" + base + L"\\Data, CSIDL_APPDATA\\" + base + L"\\gone,CSIDL_APPDATA\\" +
                                      base + L"\\file.ini,CSIDL_WINDOWS\\x,CSIDL_APPDATA\\,CSIDL_APPDATA\\" + base +
                                      L"\\Data",
                                  L"CSIDL_LOCAPTION\\keep.dat"}});
    const auto files = run.Files({install, {}, {}});
    std::vector<std::wstring> paths;
    for (const auto& file : files) paths.push_back(L(file.Path));
    // The filter keeps keep.dat and the folder out; the data folder comes with its content,
    // a missing one is still offered, a file item is a file; the application-data folder
    // itself (a reserved one) is neither offered nor listed.
    EXPECT_EQ(paths, (std::vector<std::wstring>{L(install) + L"\\other.dll", L(data.path()) + L"\\data",
                                                L(data.path()) + L"\\data\\state.bin", L(data.path()) + L"\\gone",
                                                L(data.path()) + L"\\file.ini"}));
    EXPECT_EQ(files[4].Kind, PathKind::File);
    EXPECT_EQ(files[3].Kind, PathKind::Folder);
}

TEST(FileRules, MainFileFindsOurProductByItsVersionResource) {
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Bare");
    const std::wstring main = install + L"\\main.exe";
    ASSERT_TRUE(::CopyFileW((tarvo::platform::GetSystemFolder() + L"\\winver.exe").c_str(), main.c_str(), FALSE));
    const std::wstring product = LowerCase(tarvo::settings::VersionText(main, 8));
    ASSERT_NE(product, L"unknown");
    SpecialScratch data(CSIDL_COMMON_APPDATA);
    data.File(L"Store\\db.bin");
    RuleRun run;
    run.entry = Program(install);
    run.entry.DisplayName.clear();
    run.makers = TFileterManage({{product, L"", L"CSIDL_COMMON_APPDATA\\" + data.path().substr(data.path().rfind(L'\\') + 1) + L"\\Store", L""}});
    const auto paths = run.Paths({install, {}, L"main.exe"});
    ASSERT_EQ(paths.size(), 4u);
    EXPECT_EQ(paths[2], L(data.path()) + L"\\store");
    EXPECT_EQ(paths[3], L(data.path()) + L"\\store\\db.bin");
    // With a display name the row is looked up by name instead, and there is none.
    run.entry.DisplayName = L"Named";
    EXPECT_EQ(run.Paths({install, {}, L"main.exe"}).size(), 2u);
}

TEST(FileRules, InstallerComponentFoldersAreReportedOnceAndReservedOnesNeverListed) {
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\sub\\a.txt", "a");
    const std::wstring shared = scratch.MakeFolder(L"Shared");
    scratch.MakeFile(L"Shared\\s.dll", "s");
    RuleRun run;
    run.entry = Program(install);
    run.msiFolders = {install + L"\\", L(install), install + L"\\sub", shared,
                      tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES), tarvo::platform::GetWindowsFolder(),
                      scratch.path()};
    const auto paths = run.Paths({install, {}, {}});
    EXPECT_EQ(paths, (std::vector<std::wstring>{L(install) + L"\\", L(install) + L"\\sub", L(install) + L"\\sub\\a.txt",
                                                L(shared), L(shared) + L"\\s.dll"}));
}

TEST(FileRules, LinkInsideTheInstallFolderIsOneItemAndNothingBehindIt) {
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\a.dll", "a");
    const std::wstring link = install + L"\\profile";
    const std::wstring profile = tarvo::platform::GetSpecialFolderPath(CSIDL_PROFILE);
    const std::wstring outside = scratch.PathOf(L"outside");
    ASSERT_TRUE(MakeFolderLink(link, profile));
    ASSERT_TRUE(MakeFolderLink(outside, profile));
    RuleRun run;
    run.entry = Program(install);
    // An installer record naming a link is no way in either.
    run.msiFolders = {link, outside};
    const auto files = run.Files({install, {}, {}});
    RemoveFolderLink(link);
    RemoveFolderLink(outside);
    std::vector<std::wstring> paths;
    for (const auto& file : files) paths.push_back(L(file.Path));
    ASSERT_FALSE(paths.empty());
    std::vector<std::wstring> expected = {L(install) + L"\\", L(install) + L"\\a.dll", L(link), L(outside)};
    std::sort(paths.begin() + 1, paths.end());
    std::sort(expected.begin() + 1, expected.end());
    EXPECT_EQ(paths, expected);
    EXPECT_FALSE(HasPrefix(paths, L(link) + L"\\"));
    EXPECT_FALSE(HasPrefix(paths, L(outside) + L"\\"));
}

TEST(FileRules, PathsPastTheClassicLimitAreFoundAndReportedPlain) {
    ScratchFolder scratch;
    const std::wstring install = scratch.MakeFolder(L"Prog");
    std::wstring relative = L"Prog";
    while ((scratch.path() + L"\\" + relative).size() < 300) relative += L"\\a-rather-long-folder-name-0123456789";
    const std::wstring deep = scratch.MakeFile(relative + L"\\deep.txt", "deep");
    ASSERT_GT(deep.size(), static_cast<std::size_t>(MAX_PATH));
    RuleRun run;
    run.entry = Program(install);
    const auto files = run.Files({install, {}, {}});
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(L(files.back().Path), L(deep));
    EXPECT_EQ(files.back().Size, 4);

    // The data-tree search reaches as deep.
    TIconList images;
    const TFileterManage makers(std::vector<TFilterData>{});
    ScanOptions options;
    options.makerTable = &makers;
    TRegeditScanClasses scan(run.entry, images, options);
    EXPECT_EQ(L(FindSubfolder(scan, scratch.path(), L"a-rather-long-folder-name-0123456789")),
              L(scratch.PathOf(L"Prog\\a-rather-long-folder-name-0123456789")));
    scratch.MakeFolder(relative + L"\\Needle");
    EXPECT_EQ(L(FindSubfolder(scan, install, L"needle")), L(scratch.PathOf(relative + L"\\Needle")));
}

// The two-step lookup as first written: one walk per needle. The other special folders'
// trees are searched for themselves only.
std::vector<std::wstring> g_otherRoots;

std::wstring NaiveFind(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return {};
    tarvo::platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool more = finder.FindFirst(folder + L"\\*.*", data); more; more = finder.FindNext(data)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.cFileName[0] == L'.' ||
            tarvo::platform::IsReparsePoint(data.dwFileAttributes))
            continue;
        const std::wstring full = folder + L"\\" + data.cFileName;
        if (std::find(g_otherRoots.begin(), g_otherRoots.end(), FolderForm(full)) != g_otherRoots.end()) continue;
        if (LowerCase(data.cFileName) == name) return full;
        if (auto inside = NaiveFind(full, name); !inside.empty()) return inside;
    }
    return {};
}

std::wstring NaiveProgramFolder(const std::wstring& root, const std::wstring& publisher, const std::wstring& name) {
    if (name.empty()) return {};
    if (!publisher.empty())
        if (const auto p = NaiveFind(root, publisher); !p.empty())
            if (auto found = NaiveFind(p, name); !found.empty()) return found;
    return NaiveFind(root, name);
}

TEST(FolderSearch, OneWalkPerTreeGivesTheTwoStepAnswer) {
    ScratchFolder scratch;
    // Trees that tell the orders apart: name before the publisher, inside it, only outside,
    // publisher equal to name, nested special folders, dot names and a link.
    for (const auto* folder :
         {L"r1\\x\\foo", L"r1\\y\\acme\\z\\foo", L"r1\\y\\acme\\foo", L"r2\\acme\\bar", L"r2\\q\\foo", L"r3\\acme\\acme",
          L"r3\\acme\\p\\acme", L"r4\\.acme\\foo", L"r4\\n\\inner\\acme\\k\\foo", L"r4\\n\\inner\\foo", L"r5\\ACME\\Foo",
          L"target\\acme\\foo"})
        scratch.MakeFolder(folder);
    const bool linked = MakeFolderLink(scratch.PathOf(L"r5\\link"), scratch.PathOf(L"target"));
    const std::wstring inner = scratch.PathOf(L"r4\\n\\inner");
    std::vector<std::wstring> roots = {scratch.PathOf(L"r1"), scratch.PathOf(L"r2"), scratch.PathOf(L"r3"), inner,
                                       scratch.PathOf(L"r4"), scratch.PathOf(L"r5"), L"", scratch.PathOf(L"r1\\")};
    TIconList images;
    const TFileterManage makers(std::vector<TFilterData>{});
    ScanOptions options;
    options.makerTable = &makers;
    TRegeditScanClasses scan(Program(scratch.path()), images, options);
    struct Needles {
        const wchar_t* publisher;
        const wchar_t* name;
    };
    for (const auto& needles : {Needles{L"acme", L"foo"}, Needles{L"", L"foo"}, Needles{L"acme", L"acme"},
                                Needles{L"acme", L""}, Needles{L"nobody", L"bar"}}) {
        TFolderSearchStats stats;
        const auto found = FindProgramFolders(scan, roots, needles.publisher, needles.name, &stats);
        ASSERT_EQ(found.size(), roots.size());
        for (std::size_t i = 0; i < roots.size(); ++i) {
            g_otherRoots.clear();
            for (const auto& other : roots)
                if (FolderForm(other) != FolderForm(roots[i]) && !other.empty()) g_otherRoots.push_back(FolderForm(other));
            EXPECT_EQ(L(found[i]), L(NaiveProgramFolder(roots[i].empty() ? L"" : roots[i].substr(0, roots[i].find_last_not_of(L'\\') + 1),
                                                          needles.publisher, needles.name)))
                << roots[i] << L" " << needles.publisher << L"/" << needles.name;
        }
        if (*needles.name == 0) {
            EXPECT_EQ(stats.Walks, 0u);
            continue;
        }
        // r4\n\inner is searched during r4's walk, and r1 named twice is walked once.
        EXPECT_EQ(stats.Walks, 5u);
        for (std::size_t i = 0; i < roots.size(); ++i) EXPECT_EQ(stats.RootEnumerations[i], roots[i].empty() ? 0u : 1u);
    }
    if (linked) RemoveFolderLink(scratch.PathOf(L"r5\\link"));
}
