#include "addons/browser_cleaner.h"

#include <shlobj.h>

#include <algorithm>

#include "addons/addon_text.h"
#include "addons/backup_file.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "settings/system_info.h"

namespace tarvo::addons {

namespace {

// Creates every missing level of `folder` (which ends with a backslash).
bool CreateFolderTree(const std::wstring& folder) {
    for (std::size_t slash = folder.find(L'\\', 3); slash != std::wstring::npos; slash = folder.find(L'\\', slash + 1)) {
        const std::wstring level = folder.substr(0, slash);
        if (!platform::FolderExists(level) && !platform::CreateDirectoryOf(level)) return false;
    }
    return platform::FolderExists(folder);
}

std::wstring Without(std::wstring text, wchar_t removed) {
    text.erase(std::remove(text.begin(), text.end(), removed), text.end());
    return text;
}

// The hash AddItem's look-up files an item under: equal for any two items its merge rule
// joins, since that rule compares the trimmed texts case-insensitively by their upper case.
std::size_t AddKeyOf(const std::wstring& trimmedCaption, const std::wstring& trimmedDescription,
                     const std::wstring& trimmedVersion, std::uint8_t sysType) {
    std::wstring text;
    text.reserve(trimmedCaption.size() + trimmedDescription.size() + trimmedVersion.size() + 3);
    text.append(trimmedCaption).append(1, L'\x1').append(trimmedDescription).append(1, L'\x1').append(trimmedVersion);
    text.push_back(static_cast<wchar_t>(L'0' + sysType));
    return std::hash<std::wstring>{}(CaseKey(text));
}

StoreKey KeyOf(const TPluginItem& item) {
    return {item.ItemId, item.Caption, item.Paths.empty() ? std::wstring() : item.Paths.front(), item.Publisher,
            item.SysType, item.Version};
}

}  // namespace

CleanerEnvironment CleanerEnvironment::OfThisUser(const platform::SqliteLibrary* sqlite) {
    CleanerEnvironment env;
    env.sqlite = sqlite;
    env.is64 = settings::IsWow64();
    env.appDataFolder = platform::GetSpecialFolderPath(CSIDL_APPDATA);
    if (settings::WindowsName() == L"Windows XP")
        env.localAppDataFolder = platform::GetEnvironmentString(L"HOMEDRIVE") +
                                 platform::GetEnvironmentString(L"HOMEPATH") + L"\\Local Settings\\Application Data";
    else
        env.localAppDataFolder = platform::GetEnvironmentString(L"LOCALAPPDATA");
    env.tempFolder = platform::GetTempFolder() + L"\\";
    return env;
}

TCustomBrowserCleaner::TCustomBrowserCleaner(const CleanerEnvironment& environment) : env_(environment) {
    if (!env_.appDataFolder.empty()) {
        const std::wstring folder = env_.appDataFolder + L"\\Tarvo\\Tarvo Uninstaller\\";
        if (CreateFolderTree(folder)) storeFolder_ = folder;
    }
    (void)store_.Open(env_.sqlite, StorePath());
}

TCustomBrowserCleaner::~TCustomBrowserCleaner() = default;

void TCustomBrowserCleaner::ReleaseItem(TPluginItem&) {}
bool TCustomBrowserCleaner::IsInstalled() { return true; }
bool TCustomBrowserCleaner::CanRemove(const TPluginItem&) { return true; }
void TCustomBrowserCleaner::DeleteBackup(const std::wstring&) {}

bool TCustomBrowserCleaner::SetItemTrust(TPluginItem& item, std::int32_t flag) {
    CleanerStore store;
    if (!store.Open(env_.sqlite, StorePath())) return false;
    return store.WriteTrust(KeyOf(item), item.Paths, flag);
}

void TCustomBrowserCleaner::Scan() {
    if (!IsInstalled()) return;
    if (OnScanBegin) OnScanBegin(*this);
    try {
        if (scanned_) {
            if (OnItemAdded)
                for (const auto& item : items_) OnItemAdded(*this, *item);
        } else {
            const auto reading = store_.BeginReading();
            ScanItems();
            scanned_ = true;
        }
    } catch (...) {
        if (OnScanEnd) OnScanEnd(*this);
        throw;
    }
    if (OnScanEnd) OnScanEnd(*this);
}

void TCustomBrowserCleaner::ClearItems(bool scanned) {
    for (auto& item : items_) ReleaseItem(*item);
    items_.clear();
    addIndex_.clear();
    scanned_ = scanned;
}

TPluginItem* TCustomBrowserCleaner::AddItem(FoundAddon found) {
    if (!found.present) return nullptr;
    const std::wstring name = Without(found.name, L'&');
    std::wstring version = found.version;
    std::replace(version.begin(), version.end(), L',', L'.');

    const std::wstring trimmedName = Trim(name), trimmedDescription = Trim(found.description),
                       trimmedVersion = Trim(version);
    // A new item's caption is the name when it is not blank, else the path's file name; an
    // earlier item can only be equal when the name is not blank.
    const std::size_t addKey = AddKeyOf(trimmedName, trimmedDescription, trimmedVersion, found.sysType);
    if (const auto bucket = addIndex_.find(addKey); bucket != addIndex_.end()) {
        // The bucket holds the candidates in list order; the first really equal one wins.
        for (TPluginItem* item : bucket->second) {
            if (item->SysType == found.sysType && SameText(Trim(item->Caption), trimmedName) &&
                SameText(Trim(item->Description), trimmedDescription) &&
                SameText(Trim(item->Version), trimmedVersion)) {
                if (Trim(item->Publisher).empty()) item->Publisher = found.publisher;
                item->Paths.push_back(found.path);
                return nullptr;
            }
        }
    }

    auto item = std::make_unique<TPluginItem>();
    item->Id = found.id.empty() ? platform::NewGuidText(true) : found.id;
    item->ItemId = found.itemId;
    item->Browser = found.browser;
    item->Collection.AddonKind = found.kind;
    item->Description = found.description;
    item->Publisher = found.publisher;
    item->SysType = found.sysType;
    item->ExtInfo = std::move(found.detail);
    if (!trimmedName.empty()) {
        item->Caption = name;
    } else {
        const auto cut = found.path.find_last_of(L"\\:");
        item->Caption = cut == std::wstring::npos ? found.path : found.path.substr(cut + 1);
    }
    item->Name = name;
    item->Version = version;
    item->Paths.push_back(found.path);
    item->Present = true;
    RefreshMergeKeys(*item);
    item->AddKey = trimmedName.empty()
                       ? AddKeyOf(Trim(item->Caption), trimmedDescription, trimmedVersion, found.sysType)
                       : addKey;
    ComputeTrust(*item, name);
    addIndex_[item->AddKey].push_back(item.get());
    items_.push_back(std::move(item));
    TPluginItem& added = *items_.back();
    if (OnItemAdded) OnItemAdded(*this, added);
    return &added;
}

void TCustomBrowserCleaner::ForgetAddKey(const TPluginItem& item) {
    const auto bucket = addIndex_.find(item.AddKey);
    if (bucket == addIndex_.end()) return;
    std::erase(bucket->second, &item);
    if (bucket->second.empty()) addIndex_.erase(bucket);
}

UserState TCustomBrowserCleaner::LoadUserState(const TPluginItem& item) {
    return store_.IsOpen() ? store_.LoadUserState(KeyOf(item)) : UserState{};
}

void TCustomBrowserCleaner::ComputeTrust(TPluginItem& item, const std::wstring& key) {
    ScoreRecord rating;
    if (ScoreDB && ScoreDB->Loaded()) rating = ScoreDB->Lookup(key);
    const bool found = !rating.Kind.empty();
    const UserState state = LoadUserState(item);

    // The user's stored choice, then the user's vote (folded into the flag), then the
    // score database, then "trusted".
    item.HasRating = false;
    if (state.userFlag != 0) {
        item.Trust = state.userFlag;
    } else if (found) {
        item.HasRating = true;
        item.Trust = rating.Score >= 2 ? kTrusted : kRecommendRemove;
    } else {
        item.Trust = kTrusted;
    }
    if (state.tableScore != 0) {
        item.Score = state.tableScore;
    } else if (found) {
        item.HasRating = true;
        item.Score = rating.Score;
    } else {
        item.Score = 0;
    }
    item.MyVote = state.voteStars;
    item.Voted = state.voted;
}

void TCustomBrowserCleaner::Rescore() {
    for (auto& item : items_) ComputeTrust(*item, item->Caption);
}

TPluginItem* TCustomBrowserCleaner::FindItem(const std::wstring& id) const {
    for (const auto& item : items_)
        if (SameText(item->Id, id)) return item.get();
    return nullptr;
}

void TCustomBrowserCleaner::SetTrust(const std::vector<std::wstring>& ids, std::uint8_t flag) {
    if (ids.empty()) return;
    for (auto& item : items_)
        for (const auto& id : ids) {
            if (!SameText(item->Id, id) || item->Trust == flag) continue;
            const bool stored = SetItemTrust(*item, flag);
            if (stored) item->Trust = flag;
            if (OnOperation) OnOperation(*this, item.get(), stored, opTrust);
        }
}

void TCustomBrowserCleaner::Remove(const std::vector<std::wstring>& ids) {
    if (!IsInstalled() || ids.empty()) return;
    std::vector<TPluginItem*> removed;
    for (auto& item : items_)
        for (const auto& id : ids) {
            if (!SameText(item->Id, id) || !CanRemove(*item)) continue;
            const bool done = RemoveItem(*item);
            if (done) {
                item->Present = false;
                if (std::find(removed.begin(), removed.end(), item.get()) == removed.end()) removed.push_back(item.get());
            }
            if (OnOperation) OnOperation(*this, item.get(), done, opRemove);
        }
    for (TPluginItem* gone : removed) {
        const auto at = std::find_if(items_.begin(), items_.end(), [&](const auto& item) { return item.get() == gone; });
        ForgetAddKey(**at);
        ReleaseItem(**at);
        items_.erase(at);
    }
    if (OnOperation) OnOperation(*this, nullptr, true, opRemoveDone);
}

void TCustomBrowserCleaner::RecordVote(TPluginItem& item, std::int32_t stars) {
    CleanerStore store;
    if (!store.Open(env_.sqlite, StorePath())) return;
    (void)store.WriteVote(KeyOf(item), item.Paths, stars, VoteTimeText(platform::LocalTimeNow()));
}

std::wstring TCustomBrowserCleaner::StorePath() const {
    return storeFolder_.empty() ? std::wstring() : storeFolder_ + kStoreFileName;
}

void TCustomBrowserCleaner::LoadMozillaPlugins() { mozillaPlugins_ = addons::LoadMozillaPlugins(env_.is64); }

TMozilaGeneralPluginItem TCustomBrowserCleaner::FindMozillaPlugin(const std::wstring& path) const {
    return addons::FindMozillaPlugin(mozillaPlugins_, path);
}

TMozilPlugFileInfo TCustomBrowserCleaner::FileInfo(const std::wstring& file, bool preferProductVersion) const {
    return addons::FileInfo(file, preferProductVersion);
}

std::wstring TCustomBrowserCleaner::BackupFile(const std::wstring& subFolder, const std::wstring& file) const {
    return addons::BackupFile(storeFolder_, subFolder, file);
}

std::string TCustomBrowserCleaner::FormatJson(const Json& value, int& depth) const {
    return addons::FormatJson(value, depth);
}

}  // namespace tarvo::addons
