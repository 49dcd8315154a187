// The file rules on large application-data and start-menu trees: a plain walk of every tree
// they search, then the rules for the scanned program, whose folders lie deep inside them.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "inventory/soft_info.h"
#include "leftovers/bench_world.h"
#include "leftovers/exclusion.h"
#include "leftovers/folder_search.h"
#include "leftovers/result_tree.h"
#include "leftovers/rule_families.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "support/bench_report.h"

namespace tarvo::bench {

namespace {

using platform::ApiCall;
using platform::CallCounter;

// The trees the named-folder search reads, in the order it reads them.
const int kSearchedRoots[] = {CSIDL_COMMON_APPDATA, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_PROGRAMS,
                              CSIDL_PROGRAMS};
const char* const kRootNames[] = {"all-users application data", "user application data", "user local application data",
                                  "all-users start menu", "user start menu"};

// Folders of each world tree: top x middle x leaf, plus the tops and middles themselves.
struct TreeShape {
    int csidl;
    int tops, middles, leaves;
};
const TreeShape kShapes[] = {
    {CSIDL_COMMON_APPDATA, 10, 50, 99},  // 50,010 folders
    {CSIDL_APPDATA, 4, 20, 24},          //  2,004
    {CSIDL_LOCAL_APPDATA, 4, 20, 24},    //  2,004
    {CSIDL_COMMON_PROGRAMS, 4, 20, 24},  //  2,004
    {CSIDL_PROGRAMS, 2, 10, 24},         //    502
};

struct World {
    std::vector<std::wstring> trees;  // the world's top folders, removed at the end
    std::vector<std::wstring> files;  // the shortcut and the install folder's files
};
World g_world;

std::wstring Wide(int number) { return std::to_wstring(number); }

bool MakeFile(const std::wstring& path, const char* text) {
    auto file = platform::CreateFileOf(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), text, static_cast<DWORD>(std::char_traits<char>::length(text)), &written,
                       nullptr) != FALSE;
}

// The program's own folder with some content: what the rules should find.
void MakeProgramFolder(const std::wstring& folder) {
    (void)platform::CreateDirectoryOf(folder);
    for (int i = 0; i < 10; ++i) (void)MakeFile(folder + L"\\data" + Wide(i) + L".bin", "data");
    (void)platform::CreateDirectoryOf(folder + L"\\cache");
    (void)MakeFile(folder + L"\\cache\\index.dat", "index");
}

unsigned long long BuildTree(const TreeShape& shape, const ScannedProgram& program, const std::wstring& id) {
    const std::wstring special = platform::GetSpecialFolderPath(shape.csidl);
    if (special.empty()) return 0;
    const std::wstring top = special + L"\\TarvoBenchFiles-" + id;
    if (!platform::CreateDirectoryOf(top)) return 0;
    g_world.trees.push_back(top);
    unsigned long long folders = 1;
    for (int t = 0; t < shape.tops; ++t) {
        const std::wstring a = top + L"\\Vendor " + Wide(t);
        folders += platform::CreateDirectoryOf(a);
        for (int m = 0; m < shape.middles; ++m) {
            const std::wstring b = a + L"\\Product " + Wide(m);
            folders += platform::CreateDirectoryOf(b);
            for (int l = 0; l < shape.leaves; ++l) folders += platform::CreateDirectoryOf(b + L"\\Part " + Wide(l));
        }
    }
    // Deep in the last branch, so the search must walk nearly all of the tree to get there.
    const std::wstring last = top + L"\\Vendor " + Wide(shape.tops - 1);
    const std::wstring publisher = last + L"\\" + program.Publisher;
    if (shape.csidl == CSIDL_COMMON_APPDATA || shape.csidl == CSIDL_COMMON_PROGRAMS) {
        (void)platform::CreateDirectoryOf(publisher);
        MakeProgramFolder(publisher + L"\\" + program.DisplayName);
    } else {
        MakeProgramFolder(last + L"\\" + program.DisplayName);
    }
    return folders;
}

struct WalkFigures {
    unsigned long long folders = 0;
    unsigned long long entries = 0;
};

// What any search of a tree has to do at least: enumerate each folder once, links and
// dot names left alone.
void PlainWalk(const std::wstring& folder, WalkFigures& figures) {
    ++figures.folders;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool found = finder.FindFirst(folder + L"\\*.*", data); found; found = finder.FindNext(data)) {
        ++figures.entries;
        if (data.cFileName[0] == L'.' || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            platform::IsReparsePoint(data.dwFileAttributes))
            continue;
        PlainWalk(folder + L"\\" + data.cFileName, figures);
    }
}

// The searched special folders without the ones inside another: each tree once.
std::vector<std::wstring> DistinctTrees() {
    std::vector<std::wstring> roots, forms;
    for (const int csidl : kSearchedRoots) {
        const std::wstring root = platform::GetSpecialFolderPath(csidl);
        if (!root.empty()) {
            roots.push_back(root);
            forms.push_back(leftovers::FolderForm(root));
        }
    }
    std::vector<std::wstring> distinct;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        bool inside = false;
        for (std::size_t j = 0; j < roots.size(); ++j)
            if (j != i && forms[i].size() >= forms[j].size() && forms[i].compare(0, forms[j].size(), forms[j]) == 0 &&
                (forms[i] != forms[j] || j < i))
                inside = true;
        if (!inside) distinct.push_back(roots[i]);
    }
    return distinct;
}

struct PlainFigures {
    double seconds = 0;
    unsigned long long calls = 0, findFirst = 0;
    WalkFigures walk;
};

PlainFigures TimePlainWalks(const std::vector<std::wstring>& trees) {
    PlainFigures figures;
    CallCounter::Reset();
    Stopwatch watch;
    for (const auto& tree : trees) PlainWalk(tree, figures.walk);
    figures.seconds = watch.ElapsedSeconds();
    figures.calls = CallCounter::FileSystemTotal();
    figures.findFirst = CallCounter::Get(ApiCall::FindFirstFile);
    return figures;
}

void RemoveTree(const std::wstring& path) {
    const DWORD attributes = platform::GetFileAttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !platform::IsReparsePoint(attributes)) {
        std::vector<std::wstring> names;
        platform::FileFinder finder;
        WIN32_FIND_DATAW data{};
        for (bool found = finder.FindFirst(path + L"\\*", data); found; found = finder.FindNext(data))
            if (!platform::IsDotName(data.cFileName)) names.push_back(data.cFileName);
        finder.Close();
        for (const auto& name : names) RemoveTree(path + L"\\" + name);
        (void)platform::RemoveDirectoryOf(path);
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        (void)platform::RemoveDirectoryOf(path);
    } else {
        (void)platform::DeleteFileOf(path);
    }
}

}  // namespace

FloorFigures RunFilesPart(const ScannedProgram& program) {
    PrintHeading("file rules: application-data and start-menu trees");
    const platform::ComApartment com;
    const std::wstring id = Wide(static_cast<int>(::GetCurrentProcessId()));
    Stopwatch build;
    unsigned long long built = 0;
    for (const auto& shape : kShapes) built += BuildTree(shape, program, id);
    // The install folder's own content and a desktop shortcut into it.
    for (const wchar_t* name : {L"\\app.exe", L"\\readme.txt"})
        if (MakeFile(program.InstallFolder + name, "MZ")) g_world.files.push_back(program.InstallFolder + name);
    const std::wstring desktop = platform::GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
    const std::wstring shortcut = desktop + L"\\Tarvo Bench " + id + L".lnk";
    if (!desktop.empty() && platform::CreateShellLink(shortcut, program.InstallFolder + L"\\app.exe"))
        g_world.files.push_back(shortcut);
    PrintFigure("world folders created", static_cast<double>(built), "folders");
    PrintFigure("world build time", build.ElapsedSeconds(), "s");

    const auto trees = DistinctTrees();
    (void)TimePlainWalks(trees);  // the first walk warms the caches for both measured runs
    const PlainFigures plain = TimePlainWalks(trees);
    PrintFigure("plain walk: distinct trees", static_cast<double>(trees.size()), "trees");
    PrintFigure("plain walk: folders enumerated", static_cast<double>(plain.walk.folders), "folders");
    PrintFigure("plain walk: time", plain.seconds * 1000.0, "ms");
    PrintCallCounts("plain walk: calls by kind");

    const inventory::TSoftInfo entry = program.Entry();
    leftovers::TIconList images;
    leftovers::TRegeditScanClasses scan(entry, images);
    leftovers::TFolderSearchStats stats;
    const std::wstring productCode = program.UninstallKeyPath.substr(program.UninstallKeyPath.find_last_of(L'\\') + 1);
    CallCounter::Reset();
    Stopwatch watch;
    leftovers::RunFileRules(scan, {program.InstallFolder, productCode, {}, &stats});
    const double seconds = watch.ElapsedSeconds();
    const auto findFirst = CallCounter::Get(ApiCall::FindFirstFile);
    PrintFigure("file rules: findings", static_cast<double>(scan.FileResults.size()), "items");
    PrintFigure("file rules: time", seconds * 1000.0, "ms");
    PrintCallCounts("file rules: calls by kind");
    PrintFigure("file rules: tree walks started", stats.Walks, "walks");
    PrintFigure("file rules: folders enumerated by the search", static_cast<double>(stats.FoldersEnumerated), "folders");
    for (std::size_t i = 0; i < stats.RootEnumerations.size(); ++i) {
        const std::string label = std::string("enumerations of the ") + kRootNames[i];
        PrintFigure(label.c_str(), stats.RootEnumerations[i], "times");
    }
    PrintFigure("search folders / plain-walk folders",
                plain.walk.folders ? static_cast<double>(stats.FoldersEnumerated) / static_cast<double>(plain.walk.folders) : 0,
                "x");
    PrintFigure("FindFirstFile: rules / plain walk",
                plain.findFirst ? static_cast<double>(findFirst) / static_cast<double>(plain.findFirst) : 0, "x");
    if (plain.seconds > 0) PrintFigure("time: rules / plain walk", seconds / plain.seconds, "x");
    std::fflush(stdout);
    return {plain.seconds, plain.calls};
}

void RemoveFilesPart() {
    for (const auto& tree : g_world.trees) RemoveTree(tree);
    g_world.trees.clear();
    for (const auto& file : g_world.files) (void)platform::DeleteFileOf(file);
    g_world.files.clear();
}

}  // namespace tarvo::bench
