#pragma once
// The orphan scan's working state, shared by its two halves: the dead-reference readers and
// the trace walk. Internal to the scan.

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "inventory/inventory.h"
#include "leftovers/exclusion.h"
#include "leftovers/orphans/orphan_report.h"
#include "leftovers/orphans/orphan_scan.h"
#include "platform/registry.h"

namespace tarvo::leftovers::orphans {

enum class PathState { Alive, Dead, Unknown };

class TOrphanScanner {
public:
    TOrphanScanner(const inventory::TSoftList& catalogue, const TOrphanScanOptions& options);

    TOrphanReport Run();

    // What a path a reference names is now. Dead only for an absolute path on a fixed drive,
    // outside the Windows folder (which a 32-bit program sees redirected) and outside the
    // user's folders, that no longer exists; `view64` values also answer to the native
    // Program Files. Unknown for anything else: the reference is left alone.
    [[nodiscard]] PathState StateOf(const std::wstring& rawPath, bool view64, std::wstring* expanded = nullptr) const;
    // The program a dead path belonged to (its folder below the root it lies in, or its
    // file's name) and every name it carries; records them as dead names.
    std::wstring NoteDeadPath(const std::wstring& path, const std::vector<std::wstring>& moreNames = {},
                              const std::wstring& label = {});
    // A live path something names: its folder is in use.
    void NoteLivePath(const std::wstring& path);

    void AddRegistry(HKEY root, const std::wstring& keyPath, bool view64, const std::wstring& valueName,
                     const std::wstring& valueData, const std::wstring& evidence, const std::wstring& program,
                     Confidence confidence = Confidence::High);
    void AddFile(const std::wstring& path, PathKind kind, const std::wstring& evidence, const std::wstring& program,
                 Confidence confidence = Confidence::High);
    // A folder with all it holds, each subfolder before its content; links listed, never entered.
    void AddFolderTree(const std::wstring& folder, const std::wstring& evidence, const std::wstring& program,
                       Confidence confidence);

    [[nodiscard]] bool Is64BitWindows() const noexcept { return wow64_; }
    // The registry views HKLM is read in: the default one, and the native one on 64-bit Windows.
    [[nodiscard]] std::vector<bool> MachineViews() const;
    // The key is the same one in both views (shared, not redirected): read it once.
    [[nodiscard]] bool SharedAcrossViews(HKEY root, const std::wstring& path) const;
    void Pump() const;

    TOrphanFacts facts;
    TOrphanReport report;

private:
    // The dead references (orphan_references.cpp).
    void ReadUninstallEntries();
    void ReadShortcuts();
    bool ReadShortcutFolder(const std::wstring& folder, int depth);
    void ReadAppPaths();
    void ReadRunValues();
    void ReadClasses();
    void ReadShellVerbs(HKEY root, const std::wstring& classesPath, bool view64, const std::wstring& className);
    void ReadSharedDlls();
    void ReadFirewallRules();
    // The owners (orphan_traces.cpp).
    void ReadOwners();
    void ReadServices();
    // The traces (orphan_traces.cpp).
    void WalkFolderRoot(const std::wstring& root, bool programRoot);
    void WalkKeyRoot(HKEY root, bool view64);
    bool JudgeFolder(const std::wstring& folder, const std::wstring& name, const std::wstring& parentName,
                     bool programRoot, bool offer);
    void AddOwnerPlace(const std::wstring& name, const std::wstring& publisher, const std::wstring& folder);
    [[nodiscard]] bool IsUsableOwnerFolder(const std::wstring& folderForm) const;
    [[nodiscard]] bool KeyNamesExistingFile(HKEY root, bool view64, const std::wstring& path, int depth) const;
    bool JudgeKey(HKEY root, bool view64, const std::wstring& path, const std::wstring& name,
                  const std::wstring& parentName, bool offer);

    const inventory::TSoftList& catalogue_;
    TOrphanScanOptions options_;
    std::optional<TReservedFolders> ownReserved_;
    const TReservedFolders* reserved_;
    std::wstring windowsForm_;
    std::vector<std::wstring> traceRoots_;      // FolderForm, deepest first
    std::vector<std::wstring> traceRootPaths_;  // the same folders as the system names them
    std::set<std::wstring> deadEntries_;    // "root\path|view" of uninstall entries that are dead
    bool wow64_ = false;
};

}  // namespace tarvo::leftovers::orphans
