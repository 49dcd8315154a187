// The file system: the install folder with everything in it, the installer's component
// folders, the program's folders in the data and start-menu trees, its desktop shortcuts and
// the data locations of our own products.
#include "common/paths.h"
#include "leftovers/file_rules.h"

#include <shlobj.h>

#include <cstdint>
#include <iterator>

#include "common/text.h"
#include "leftovers/folder_search.h"
#include "leftovers/program_names.h"
#include "leftovers/rule_families.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "settings/system_info.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;

constexpr int kVersionProductName = 8;

// The special folders the named-folder rule searches, in the order it reports them. Caches
// and logs live in the local tree, which a roaming profile leaves behind.
constexpr int kNamedFolderRoots[] = {CSIDL_COMMON_APPDATA, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_PROGRAMS,
                                     CSIDL_PROGRAMS};

std::wstring WithoutTrailingBackslash(std::wstring path) { return common::WithoutTrailingBackslashes(std::move(path)); }

// The state of one run: what was reported, what was listed, and the folders the named-folder
// rule found, searched for all its special folders in one go.
class FileRuleRun {
public:
    FileRuleRun(TRegeditScanClasses& scan, const FileRuleInput& input)
        : scan_(scan), input_(input), installFolder_(FolderForm(input.installFolder)) {
        visited_.Add(installFolder_);
    }

    [[nodiscard]] const std::wstring& InstallFolder() const noexcept { return installFolder_; }

    // The install folder and its content. A maker row's filter keeps the listed files, and
    // then the folder itself, out of the findings.
    void InstallFolderRule() {
        const DWORD attributes = scan_.AttributesOf(installFolder_);
        if (attributes == INVALID_FILE_ATTRIBUTES) return;
        bool filtered = false;
        std::wstring row;
        if (scan_.Makers().FindMakerRow(MakerKeyOf(scan_.Entry), row, [&] { scan_.Pump(); })) {
            for (const auto& item : SplitItems(scan_.Makers().MakerRowField(row, L"filter", {}))) {
                const std::wstring path = LowerCase(ExpandItemMacro(item, scan_.Entry));
                if (path.empty()) continue;
                filtered = true;
                visited_.Add(path);
                if (platform::FileExists(path)) visited_.Add(path.substr(0, path.find_last_of(L'\\')));
            }
        }
        if (!filtered) scan_.ReportPath(installFolder_, PathKind::Folder, 0);
        // The program's own folder is listed even when it is a link: it is what was installed.
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) ListContent(installFolder_, true);
    }

    // The folders the installer's component records point to. One that is the install folder
    // or lies inside it is neither reported nor listed again.
    void MsiComponentFolderRule() {
        for (const auto& folder : scan_.MsiComponentFolders) {
            if (!visited_.Contains(folder)) {
                visited_.Add(folder);
                scan_.ReportPath(folder, PathKind::Folder, 0);
            }
            if (platform::FolderExists(folder)) ListContent(folder);
        }
    }

    // The program's folder below a special folder with its content: an empty folder left
    // behind is as much a trace as a full one.
    void NamedFolderRule(int csidl) {
        if (!searched_) SearchNamedFolders();
        for (std::size_t i = 0; i < std::size(kNamedFolderRoots); ++i) {
            if (kNamedFolderRoots[i] != csidl || named_[i].empty()) continue;
            if (visited_.Add(named_[i])) scan_.ReportPath(named_[i], PathKind::Folder, 0);
            ListContent(named_[i]);
        }
    }

    // The installer's per-product icon cache.
    void InstallerIconCacheRule(int csidl) {
        const std::wstring special = platform::GetSpecialFolderPath(csidl);
        if (special.empty() || input_.productCode.empty()) return;
        const std::wstring folder = WithoutTrailingBackslash(special) + L"\\Microsoft\\Installer\\" + input_.productCode;
        if (!platform::FolderExists(folder)) return;
        if (visited_.Add(folder)) scan_.ReportPath(folder, PathKind::Folder, 0);
        ListContent(folder);
    }

    // Shortcuts on a desktop whose target lies in the install folder.
    void ShortcutRule(int csidl) {
        const std::wstring desktop = WithoutTrailingBackslash(platform::GetSpecialFolderPath(csidl));
        if (desktop.empty()) return;
        // The program starts COM on its own thread; a scan elsewhere must not go without it.
        const platform::ComApartment com;
        platform::FileFinder finder;
        WIN32_FIND_DATAW data{};
        for (bool found = finder.FindFirst(desktop + L"\\*.*", data); found; found = finder.FindNext(data)) {
            scan_.Pump();
            // A folder never loads as a shortcut.
            if (data.cFileName[0] == L'.' || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            const std::wstring path = desktop + L"\\" + data.cFileName;
            if (LowerCase(ResolveShortcut(path)).find(installFolder_) == std::wstring::npos) continue;
            if (!visited_.Add(path)) continue;
            const auto size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            scan_.ReportPath(path, PathKind::File, size);
        }
    }

    // The data locations a maker row names for one of our own products. A folder item is
    // offered even when it no longer exists.
    void MakerPathsRule() {
        std::wstring row;
        if (!scan_.Makers().FindMakerRow(MakerKeyOf(scan_.Entry), row, [&] { scan_.Pump(); })) return;
        for (const auto& item : SplitItems(scan_.Makers().MakerRowField(row, L"path", {}))) {
            const std::wstring path = ExpandItemMacro(item, scan_.Entry);
            if (path.empty()) continue;
            if (platform::FileExists(path)) {
                if (visited_.Add(path)) scan_.ReportPath(path, PathKind::File, 0);
                continue;
            }
            if (!visited_.Add(path)) continue;
            scan_.ReportPath(path, PathKind::Folder, 0);
            ListContent(path);
        }
    }

    // A bare folder scan knows no maker row by name; the product name in its main file's
    // version resource finds it.
    void MainFileRule(const std::wstring& filePath) {
        if (!platform::FileExists(filePath)) return;
        const std::wstring product = LowerCase(settings::VersionText(filePath, kVersionProductName));
        if (product.empty()) return;
        for (const auto& item : SplitItems(scan_.Makers().MakerRowField(product, L"path", {}))) {
            const std::wstring path = ExpandItemMacro(item, scan_.Entry);
            if (path.empty()) continue;
            if (visited_.Add(path)) scan_.ReportPath(path, PathKind::Folder, 0);
            ListContent(path);
        }
    }

private:
    void SearchNamedFolders() {
        searched_ = true;
        std::vector<std::wstring> roots;
        for (const int csidl : kNamedFolderRoots) roots.push_back(platform::GetSpecialFolderPath(csidl));
        // "Acme, Inc." keeps its data in "Acme".
        named_ = FindProgramFolders(scan_, roots, LowerCase(PublisherWithoutCompanyForm(scan_.Entry.Publisher)),
                                    LowerCase(scan_.Entry.DisplayName), input_.searchStats);
        // A program named like a folder of the system's own layout ("Programs", "Windows")
        // must not take a whole special folder with it.
        for (auto& found : named_) {
            const std::wstring form = FolderForm(found);
            for (const auto& root : roots) {
                const std::wstring rootForm = FolderForm(root);
                if (!rootForm.empty() && rootForm.compare(0, form.size(), form) == 0) found.clear();
            }
        }
    }

    // Lists a folder's content unless a listing already covered it, the folder is one no
    // scan may offer (a reserved folder, a volume, a folder above the program's own) or it
    // is a link: its content belongs to wherever it points.
    void ListContent(const std::wstring& folder, bool linkAllowed = false) {
        const std::wstring form = FolderForm(folder);
        if (form.empty()) return;
        for (const auto& done : listed_)
            if (form.compare(0, done.size(), done) == 0) return;
        if (!scan_.IsListableFolder(folder)) return;
        const DWORD attributes = OwnAttributes(WithoutTrailingBackslash(folder));
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (platform::IsReparsePoint(attributes) && !linkAllowed))
            return;
        scan_.ListFolder(folder, visited_);
        listed_.push_back(form);
    }

    // A folder's attributes as its parent's listing gives them: some file systems answer a
    // lookup by path with the attributes of a link's target.
    [[nodiscard]] DWORD OwnAttributes(const std::wstring& path) const {
        platform::FileFinder finder;
        WIN32_FIND_DATAW data{};
        if (path.find_first_of(L"*?") != std::wstring::npos || !finder.FindFirst(path, data))
            return INVALID_FILE_ATTRIBUTES;
        return scan_.ListedAttributes(path, data.dwFileAttributes);
    }

    TRegeditScanClasses& scan_;
    const FileRuleInput& input_;
    const std::wstring installFolder_;
    TVisitedSet visited_;
    std::vector<std::wstring> listed_;  // FolderForm of every folder listed so far
    bool searched_ = false;
    std::vector<std::wstring> named_;
};

}  // namespace

std::wstring ResolveShortcut(const std::wstring& path) {
    return platform::ResolveShellLink(path).value_or(kUnresolvedLinkText);
}

void RunFileRules(TRegeditScanClasses& scan, const FileRuleInput& input) {
    // A folder that is no program's own (a system folder, a volume, a relative text) is
    // never listed, and nothing else is looked for without it.
    if (DeriveFolderKey(FolderForm(input.installFolder), scan.Reserved()).empty()) {
        scan.MsiComponentFolders.clear();
        return;
    }
    FileRuleRun run(scan, input);
    run.InstallFolderRule();
    run.MsiComponentFolderRule();
    run.NamedFolderRule(CSIDL_COMMON_APPDATA);
    run.NamedFolderRule(CSIDL_APPDATA);
    run.NamedFolderRule(CSIDL_LOCAL_APPDATA);
    run.InstallerIconCacheRule(CSIDL_COMMON_APPDATA);
    run.InstallerIconCacheRule(CSIDL_APPDATA);
    run.NamedFolderRule(CSIDL_COMMON_PROGRAMS);
    run.NamedFolderRule(CSIDL_PROGRAMS);
    run.ShortcutRule(CSIDL_DESKTOPDIRECTORY);
    run.ShortcutRule(CSIDL_COMMON_DESKTOPDIRECTORY);
    const bool hasName = !scan.Entry.DisplayName.empty();
    const bool hasPublisher = !scan.Entry.Publisher.empty();
    if (hasName && hasPublisher)
        run.MakerPathsRule();
    else if (!hasName && !hasPublisher)
        run.MainFileRule(run.InstallFolder() + input.mainFileName);
    scan.MsiComponentFolders.clear();
}

}  // namespace tarvo::leftovers
