#include "leftovers/folder_search.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "common/text.h"
#include "platform/files.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;

// One special folder's search. In depth-first order the folders below the publisher folder
// come right after it, so one walk answers both steps of the lookup: the first name match
// inside the first publisher match, and the first name match anywhere.
struct Search {
    std::wstring root;      // without a trailing backslash
    std::wstring rootForm;  // FolderForm
    bool started = false;
    bool active = false;
    std::wstring publisherFolder;
    bool insidePublisher = false;
    std::wstring nameInPublisher;
    std::wstring nameAnywhere;
    unsigned enumerations = 0;

    [[nodiscard]] std::wstring Result() const { return nameInPublisher.empty() ? nameAnywhere : nameInPublisher; }
};

class TreeWalk {
public:
    TreeWalk(const TRegeditScanClasses& scan, std::vector<Search>& searches, const std::wstring& publisher,
             const std::wstring& name, TFolderSearchStats* stats)
        : scan_(scan), searches_(searches), publisher_(publisher), name_(name), stats_(stats) {}

    void From(Search& start) {
        if (stats_) ++stats_->Walks;
        Activate(start);
        (void)Walk(start.root);
        start.active = false;
    }

private:
    void Activate(Search& search) {
        search.started = true;
        search.active = true;
        ++search.enumerations;
    }

    [[nodiscard]] bool Settled(const Search& search) const {
        if (!search.started) return false;
        if (!search.active) return true;  // its walk is over
        if (!search.nameInPublisher.empty()) return true;
        if (search.nameAnywhere.empty()) return false;
        // The name was found; it is the answer unless the publisher folder may still hold one.
        if (publisher_.empty()) return true;
        return !search.publisherFolder.empty() && !search.insidePublisher;
    }

    [[nodiscard]] bool AllSettled() const {
        for (const auto& search : searches_)
            if (!Settled(search)) return false;
        return true;
    }

    [[nodiscard]] bool Matches(const wchar_t* entry, std::size_t length, const std::wstring& needle,
                               std::wstring& lower) const {
        if (needle.empty() || needle.size() != length) return false;
        if (lower.empty()) lower = LowerCase(entry);
        return lower == needle;
    }

    // False once every search is answered: the walk stops there.
    bool Walk(const std::wstring& folder) {
        platform::FileFinder finder;
        WIN32_FIND_DATAW data{};
        if (stats_) ++stats_->FoldersEnumerated;
        for (bool found = finder.FindFirst(folder + L"\\*.*", data); found; found = finder.FindNext(data)) {
            scan_.Pump();
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.cFileName[0] == L'.') continue;
            std::wstring full = folder + L"\\" + data.cFileName;
            if (platform::IsReparsePoint(scan_.ListedAttributes(full, data.dwFileAttributes))) continue;

            const std::size_t length = wcslen(data.cFileName);
            std::wstring lower;
            const bool isName = Matches(data.cFileName, length, name_, lower);
            const bool isPublisher = Matches(data.cFileName, length, publisher_, lower);
            std::vector<Search*> enteredPublisher, enteredRoot;
            for (auto& search : searches_) {
                if (search.active) {
                    if (isName) {
                        if (search.insidePublisher && search.nameInPublisher.empty()) search.nameInPublisher = full;
                        if (search.nameAnywhere.empty()) search.nameAnywhere = full;
                    }
                    if (isPublisher && search.publisherFolder.empty()) {
                        search.publisherFolder = full;
                        search.insidePublisher = true;
                        enteredPublisher.push_back(&search);
                    }
                } else if (!search.started && search.rootForm.size() == full.size() + 1 &&
                           search.rootForm == FolderForm(full)) {
                    // A special folder inside this tree: searched on the way, not walked again.
                    Activate(search);
                    enteredRoot.push_back(&search);
                }
            }
            // Inside another special folder only that folder's own search looks: a start-menu
            // group named like the program is not its data folder, and has a search of its own.
            std::vector<Search*> suspended;
            if (!enteredRoot.empty())
                for (auto& search : searches_)
                    if (search.active && std::find(enteredRoot.begin(), enteredRoot.end(), &search) == enteredRoot.end()) {
                        search.active = false;
                        suspended.push_back(&search);
                    }
            const bool goOn = AllSettled() ? false : Walk(full);
            for (Search* search : enteredPublisher) search->insidePublisher = false;
            for (Search* search : enteredRoot) search->active = false;
            for (Search* search : suspended) search->active = true;
            if ((!goOn && suspended.empty()) || AllSettled()) return false;
        }
        return true;
    }

    const TRegeditScanClasses& scan_;
    std::vector<Search>& searches_;
    const std::wstring& publisher_;
    const std::wstring& name_;
    TFolderSearchStats* stats_;
};

bool IsInside(const std::wstring& innerForm, const std::wstring& outerForm) {
    return innerForm.size() > outerForm.size() && innerForm.compare(0, outerForm.size(), outerForm) == 0;
}

}  // namespace

std::vector<std::wstring> FindProgramFolders(const TRegeditScanClasses& scan,
                                             const std::vector<std::wstring>& specialFolders,
                                             const std::wstring& publisherNeedle, const std::wstring& nameNeedle,
                                             TFolderSearchStats* stats) {
    // Without a name nothing can be found: the publisher folder alone is never the answer.
    std::vector<std::wstring> results(specialFolders.size());
    if (stats) stats->RootEnumerations.assign(specialFolders.size(), 0);
    if (nameNeedle.empty()) return results;

    // One search per distinct folder; a folder named twice shares the first one's answer.
    std::vector<Search> searches;
    std::vector<std::size_t> searchOf(specialFolders.size(), SIZE_MAX);
    for (std::size_t i = 0; i < specialFolders.size(); ++i) {
        const std::wstring form = FolderForm(specialFolders[i]);
        if (form.empty()) continue;
        for (std::size_t s = 0; s < searches.size(); ++s)
            if (searches[s].rootForm == form) searchOf[i] = s;
        if (searchOf[i] != SIZE_MAX) continue;
        Search search;
        search.root = specialFolders[i];
        while (search.root.size() > 3 && search.root.back() == L'\\') search.root.pop_back();
        search.rootForm = form;
        searchOf[i] = searches.size();
        searches.push_back(std::move(search));
    }

    TreeWalk walk(scan, searches, publisherNeedle, nameNeedle, stats);
    // Outermost trees first; the folders inside them are searched during their walk. One that
    // the walk could not reach (behind a link or a dot name) gets a walk of its own after.
    for (auto& search : searches) {
        bool nested = false;
        for (const auto& other : searches)
            if (&other != &search && IsInside(search.rootForm, other.rootForm)) nested = true;
        if (!nested && !search.started) walk.From(search);
    }
    for (auto& search : searches)
        if (!search.started) walk.From(search);

    for (std::size_t i = 0; i < specialFolders.size(); ++i) {
        if (searchOf[i] == SIZE_MAX) continue;
        const Search& search = searches[searchOf[i]];
        results[i] = search.Result();
        if (stats) stats->RootEnumerations[i] = search.enumerations;
    }
    return results;
}

std::wstring FindSubfolder(const TRegeditScanClasses& scan, const std::wstring& folder, const std::wstring& name) {
    return FindProgramFolders(scan, {folder}, {}, name).front();
}

}  // namespace tarvo::leftovers
