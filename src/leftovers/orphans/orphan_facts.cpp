#include "leftovers/orphans/orphan_facts.h"

#include <algorithm>
#include <cwctype>

#include "common/text.h"
#include "language/language.h"
#include "leftovers/exclusion.h"
#include "leftovers/program_names.h"

namespace tarvo::leftovers::orphans {

namespace {

using language::GetText;

// Shorter keys are too common ("app", "pro") to say two names are one program's.
constexpr std::size_t kShortestLikeness = 4;

void AddKey(std::vector<std::wstring>& keys, const std::wstring& name) {
    std::wstring key = NameKey(name);
    if (key.size() < 3 || std::find(keys.begin(), keys.end(), key) != keys.end()) return;
    keys.push_back(std::move(key));
}

bool Alike(const std::wstring& a, const std::wstring& b) {
    if (a == b) return true;
    const std::wstring& shorter = a.size() < b.size() ? a : b;
    const std::wstring& longer = a.size() < b.size() ? b : a;
    return shorter.size() >= kShortestLikeness && longer.find(shorter) != std::wstring::npos;
}

// The folder's path components ("c:\program files\acme\tool\" -> acme, tool and the rest),
// so a vendor folder named after an installed program's folder stays.
void AddFolderNames(std::vector<std::wstring>& keys, const std::wstring& form) {
    std::size_t start = form.find(L'\\');
    while (start != std::wstring::npos && start + 1 < form.size()) {
        const std::size_t end = form.find(L'\\', start + 1);
        AddKey(keys, form.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start - 1));
        start = end;
    }
}

bool Within(const std::wstring& inner, const std::wstring& outer) {
    return !outer.empty() && inner.size() >= outer.size() && inner.compare(0, outer.size(), outer) == 0;
}

}  // namespace

std::wstring NameKey(const std::wstring& name) {
    std::wstring key;
    key.reserve(name.size());
    for (const wchar_t c : name)
        if (std::iswalnum(c)) key.push_back(static_cast<wchar_t>(std::towlower(c)));
    return key;
}

std::wstring TDeadNames::Add(const std::vector<std::wstring>& names, const std::wstring& label) {
    std::wstring used = label;
    for (const auto& name : names)
        if (const auto known = LabelOf(name)) {
            used = *known;
            break;
        }
    for (const auto& name : names) {
        const std::wstring key = NameKey(name);
        if (key.size() >= 3) labels.emplace(key, used);
    }
    return used;
}

std::optional<std::wstring> TDeadNames::LabelOf(const std::wstring& name) const {
    const auto it = labels.find(NameKey(name));
    if (it == labels.end()) return std::nullopt;
    return it->second;
}

void TOrphanFacts::AddOwner(const TOwner& owner) {
    if (!owner.name.empty()) {
        AddKey(names_, owner.name);
        for (const auto& name : ProgramKeyNames(owner.name)) AddKey(names_, name);
    }
    if (!owner.publisher.empty())
        for (const auto& name : PublisherKeyNames(owner.publisher)) AddKey(publishers_, name);
    const std::wstring form = FolderForm(owner.folder);
    if (form.size() > 3 && std::find(folders_.begin(), folders_.end(), form) == folders_.end()) {
        folders_.push_back(form);
        // Only an installed program's folder names speak for it: a service's or a
        // process's folder protects its place, not every folder of that name.
        if (!owner.name.empty()) AddFolderNames(folderNames_, form);
    }
}

void TOrphanFacts::AddUserFolder(const std::wstring& folder) {
    const std::wstring form = FolderForm(folder);
    if (form.size() > 3) userFolders_.push_back(form);
}

bool TOrphanFacts::InUserFolder(const std::wstring& path) const {
    const std::wstring form = FolderForm(path);
    return std::any_of(userFolders_.begin(), userFolders_.end(), [&](const auto& f) { return Within(form, f); });
}

bool TOrphanFacts::HoldsOwner(const std::wstring& folder) const {
    const std::wstring form = FolderForm(folder);
    return std::any_of(folders_.begin(), folders_.end(), [&](const auto& owner) { return Within(owner, form); });
}

bool TOrphanFacts::InOwner(const std::wstring& folder) const {
    const std::wstring form = FolderForm(folder);
    return std::any_of(folders_.begin(), folders_.end(), [&](const auto& owner) { return Within(form, owner); });
}

std::wstring TOrphanFacts::FolderRefusal(const std::wstring& folder) const {
    const std::wstring form = FolderForm(folder);
    if (InUserFolder(form)) return GetText(L"Orphans_UserFolder_M", L"inside the user's own folders");
    for (const auto& owner : folders_) {
        if (Within(owner, form))
            return GetText(L"Orphans_HoldsUsed_M", L"holds a folder an installed program, service or process uses");
        if (Within(form, owner))
            return GetText(L"Orphans_InUsed_M", L"lies in a folder an installed program, service or process uses");
    }
    return {};
}

std::wstring TOrphanFacts::NameRefusal(const std::wstring& name) const {
    const std::wstring key = NameKey(name);
    for (const auto* keys : {&names_, &publishers_, &folderNames_})
        if (std::find(keys->begin(), keys->end(), key) != keys->end())
            return GetText(L"Orphans_Named_M", L"an installed program goes by this name");
    // A longer or shorter edition of a program still here may share its data; a publisher's
    // short name ("Acme") is in too many names to say anything.
    for (const auto& owned : names_)
        if (Alike(owned, key)) return GetText(L"Orphans_Alike_M", L"an installed program has a similar name");
    return {};
}

bool TOrphanFacts::IsOwnedVendor(const std::wstring& name) const {
    const std::wstring key = NameKey(name);
    return std::find(publishers_.begin(), publishers_.end(), key) != publishers_.end() ||
           std::find(folderNames_.begin(), folderNames_.end(), key) != folderNames_.end();
}

std::optional<TTraceVerdict> JudgeTrace(const TOrphanFacts& facts, const std::wstring& name,
                                        const std::wstring& parentName, bool holdsPrograms, bool programFolder,
                                        std::wstring& whyNot) {
    whyNot.clear();
    if (NameKey(name).size() < 3) {
        whyNot = GetText(L"Orphans_ShortName_M", L"its name is too short to tell whose it is");
        return std::nullopt;
    }
    whyNot = facts.NameRefusal(name);
    if (!whyNot.empty()) return std::nullopt;
    if (const auto label = facts.Dead().LabelOf(name))
        return TTraceVerdict{Confidence::Medium,
                             GetText(L"Orphans_DeadNamed_M", L"named like a removed program whose references are dead"),
                             *label};
    if (holdsPrograms) {
        // A program nobody registered may still be in use: a portable one, or one copied by hand.
        whyNot = GetText(L"Orphans_HoldsPrograms_M", L"still holds program files that no installed program names");
        return std::nullopt;
    }
    if (programFolder)
        return TTraceVerdict{Confidence::Medium,
                             GetText(L"Orphans_EmptyProgram_M", L"a program folder with no program left in it"),
                             parentName.empty() ? name : parentName};
    return TTraceVerdict{Confidence::Low, GetText(L"Orphans_Unnamed_M", L"no installed program names this"),
                         parentName.empty() ? name : parentName};
}

bool IsSharedTraceName(const std::wstring& name) {
    static const wchar_t* const kShared[] = {
        L"microsoft", L"windows", L"wine", L"classes", L"clients", L"policies", L"registeredapplications",
        L"wow6432node", L"odbc", L"commonfiles", L"internetexplorer", L"packagecache", L"installer", L"temp",
        L"tarvo", L"intel", L"nvidia", L"nvidiacorporation", L"amd", L"atitechnologies", L"realtek",
        L"synaptics", L"khronos", L"javasoft", L"gecko", L"mono", L"installshieldinstallationinformation",
        L"uninstallinformation", L"msbuild", L"referenceassemblies", L"dotnet", L"ssh", L"mozillaplugins",
        L"programs", L"virtualstore", L"crashdumps", L"history", L"applicationdata", L"desktop", L"documents",
        L"startmenu", L"templates", L"favorites"};
    const std::wstring key = NameKey(name);
    if (key.empty()) return true;
    // Microsoft's and Windows' own folders come in many names ("Windows NT", "Microsoft.NET").
    if (key.rfind(L"microsoft", 0) == 0 || key.rfind(L"windows", 0) == 0) return true;
    return std::any_of(std::begin(kShared), std::end(kShared), [&](const wchar_t* s) { return key == s; });
}

}  // namespace tarvo::leftovers::orphans
