#include "inventory/software_info.h"

#include <unordered_map>

#include "common/paths.h"
#include "platform/registry.h"
#include "inventory/software_cache.h"
#include "common/text.h"
#include "platform/files.h"

namespace tarvo::inventory {

using common::Contains;
using common::EqualsIgnoreCase;
using common::UpperCase;

namespace {

// What makes two readings of the uninstall keys the same program.
std::wstring IdentityOf(const TSoftInfo& entry) {
    std::wstring key = UpperCase(entry.UninstallString);
    key += L'\n';
    key += UpperCase(entry.DisplayName);
    key += entry.View64 ? L"\n64" : L"\n32";
    return key;
}

// The folder part of a path: everything through its last backslash (or drive colon).
std::wstring FolderOfPath(const std::wstring& path) {
    return common::FolderPart(path, common::PathSeparators::BackslashSlashOrColon);
}

int Append(std::vector<std::size_t>* indexes, std::size_t index) {
    indexes->push_back(index);
    return 1;
}

}  // namespace

std::wstring NormalisedFolder(const std::wstring& folder) {
    if (folder.empty()) return {};
    std::wstring result;
    result.reserve(folder.size() + 1);
    for (wchar_t c : folder) {
        if (c == L'/') c = L'\\';
        if (c == L'\\' && !result.empty() && result.back() == L'\\') continue;
        result += c;
    }
    if (result.back() != L'\\') result += L'\\';
    return result;
}

std::unique_ptr<TSoftInfo> CatalogueCopy(const TSoftInfo& fresh) {
    auto copy = std::make_unique<TSoftInfo>(fresh);
    copy->LastAccessDate = 0;
    copy->UseRange = audUnknown;
    copy->UseRate = aurUnknown;
    copy->LastUseTime = 0;
    copy->UseChecked = false;
    copy->UseText.clear();
    return copy;
}

TSoftwareInfo::TSoftwareInfo(IAnalysisSink* sink, Options options) : options_(std::move(options)) {
    if (options_.cacheFile.empty()) options_.cacheFile = SoftwareCachePath();
    if (!options_.readInventory) options_.readInventory = [](TSoftList& list) { Inventory(list); };
    options_.readInventory(entries_);
    LoadCache(entries_, options_.cacheFile);
    if (sink) {
        TAnalysisThread::Options analysis = options_.analysis;
        if (analysis.cacheFile.empty()) analysis.cacheFile = options_.cacheFile;
        analysis_ = std::make_unique<TAnalysisThread>(entries_, *sink, std::move(analysis));
        analysis_->RequestPass();
    }
}

TSoftwareInfo::~TSoftwareInfo() {
    // The thread's own destructor cancels and waits; it must be gone before the entries.
    try {
        analysis_.reset();
    } catch (...) {
    }
}

TSoftInfo* TSoftwareInfo::EntryAt(std::size_t index) const noexcept {
    return index < entries_.size() ? entries_[index].get() : nullptr;
}

std::size_t TSoftwareInfo::IndexOf(const TSoftInfo* entry) const noexcept {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].get() == entry) return i;
    return entries_.size();
}

bool TSoftwareInfo::Refresh() {
    if (refreshing_) return false;
    refreshing_ = true;
    TSoftList fresh;
    try {
        options_.readInventory(fresh);
        LoadCache(fresh, options_.cacheFile);
    } catch (...) {
        // A failed read must not hide the whole catalogue.
        refreshing_ = false;
        return false;
    }

    // The first catalogue entry of each identity; a map keeps the merge linear, so a
    // refresh of thousands of programs costs what reading them costs.
    std::unordered_map<std::wstring, std::size_t> known;
    known.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        entries_[i]->Hidden = true;
        known.emplace(IdentityOf(*entries_[i]), i);
    }
    for (const auto& entry : fresh) {
        if (entry->Hidden) continue;
        const auto found = known.find(IdentityOf(*entry));
        if (found != known.end()) {
            entries_[found->second]->Hidden = false;
            continue;
        }
        entries_.push_back(CatalogueCopy(*entry));
        known.emplace(IdentityOf(*entry), entries_.size() - 1);
    }
    refreshing_ = false;
    RequestAnalysis();
    return true;
}

void TSoftwareInfo::RequestAnalysis() {
    if (analysis_) analysis_->RequestPass();
}

bool TSoftwareInfo::RemoveEntry(TSoftInfo& entry) {
    if (entry.Hidden) return false;
    if (!platform::DeleteKey(entry.Location())) return false;
    entry.Hidden = true;
    return true;
}

int TSoftwareInfo::EntriesInFolder(const std::wstring& path, std::vector<std::size_t>* indexes) const {
    if (!indexes) return 0;
    const std::wstring wanted = NormalisedFolder(FolderOfPath(path));
    if (wanted.empty()) return 0;
    int count = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const TSoftInfo& e = *entries_[i];
        if (e.Hidden || e.InstallLocation.empty()) continue;
        const std::wstring folder = NormalisedFolder(platform::LongPathOf(e.InstallLocation));
        if (EqualsIgnoreCase(folder, wanted)) count += Append(indexes, i);
    }
    return count;
}

int TSoftwareInfo::EntriesUnderFolder(const std::wstring& folder, std::vector<std::size_t>* indexes) const {
    if (!indexes) return 0;
    const std::wstring wanted = UpperCase(NormalisedFolder(folder));
    if (wanted.empty()) return 0;
    int count = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const TSoftInfo& e = *entries_[i];
        if (e.Hidden || e.InstallLocation.empty()) continue;
        if (Contains(UpperCase(NormalisedFolder(e.InstallLocation)), wanted)) count += Append(indexes, i);
    }
    return count;
}

int TSoftwareInfo::EntriesByName(const std::wstring& text, std::vector<std::size_t>* indexes) const {
    if (!indexes) return 0;
    const std::wstring wanted = UpperCase(text);
    int count = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const TSoftInfo& e = *entries_[i];
        if (!e.Hidden && Contains(UpperCase(e.DisplayName), wanted)) count += Append(indexes, i);
    }
    return count;
}

}  // namespace tarvo::inventory
