#include "uninstall/scan_journal.h"

#include "platform/files.h"
#include "platform/registry.h"
#include "settings/app_frame.h"
#include "settings/ext_ini_file.h"
#include "settings/text_file.h"

namespace tarvo::uninstall {

namespace {

// A value holding a line break would end its line in the file and lose the rest.
std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return text;
}

std::wstring SectionOf(const inventory::TSoftInfo& entry) {
    return OneLine((entry.View64 ? L"64|" : L"32|") + entry.RootKeyName + entry.KeyPath + L"|" + entry.DisplayName);
}

settings::TExtIniFile Load(const std::wstring& path) {
    settings::TExtIniFile file;
    if (platform::FileExists(path)) (void)file.LoadFromFile(path);
    return file;
}

// Written beside and moved over the old file: a crash while writing leaves the old journal whole.
bool Save(const settings::TExtIniFile& file, const std::wstring& path) {
    if (file.Sections().empty()) return !platform::FileExists(path) || platform::DeleteFileOf(path);
    const std::wstring fresh = path + L".new";
    return settings::WriteUtf16TextFile(fresh, file.SaveToText()) && platform::MoveFileReplacing(fresh, path);
}

}  // namespace

bool EntryStillListed(const inventory::TSoftInfo& entry) {
    const auto key = platform::RegistryLocation::FromNames(entry.RootKeyName, entry.KeyPath, entry.View64);
    return key.root && !key.path.empty() && platform::RegKeyExists(key.root, key.path, key.view);
}

std::wstring TScanJournal::DefaultPath() {
    const std::wstring folder = settings::DataFolder();
    return folder.empty() ? std::wstring() : folder + L"\\" + kFileName;
}

bool TScanJournal::Add(const inventory::TSoftInfo& entry) const {
    if (path_.empty()) return false;
    settings::TExtIniFile file = Load(path_);
    const std::wstring section = SectionOf(entry);
    file.EraseSection(section);
    const auto put = [&](const wchar_t* key, const std::wstring& value) { file.WriteString(section, key, OneLine(value)); };
    put(L"DisplayName", entry.DisplayName);
    put(L"Publisher", entry.Publisher);
    put(L"RootKeyName", entry.RootKeyName);
    put(L"KeyPath", entry.KeyPath);
    put(L"View64", entry.View64 ? L"1" : L"0");
    put(L"UninstallString", entry.UninstallString);
    put(L"InstallLocation", entry.InstallLocation);
    put(L"DisplayIcon", entry.DisplayIcon);
    put(L"Readme", entry.Readme);
    return Save(file, path_);
}

bool TScanJournal::Remove(const std::vector<const inventory::TSoftInfo*>& entries) const {
    if (path_.empty() || !platform::FileExists(path_)) return true;
    settings::TExtIniFile file = Load(path_);
    for (const inventory::TSoftInfo* entry : entries)
        if (entry) file.EraseSection(SectionOf(*entry));
    return Save(file, path_);
}

std::vector<inventory::TSoftInfo> TScanJournal::Pending() const {
    std::vector<inventory::TSoftInfo> entries;
    if (path_.empty()) return entries;
    const settings::TExtIniFile file = Load(path_);
    for (const auto& section : file.ReadSections()) {
        const auto get = [&](const wchar_t* key) { return file.ReadString(section, key, L""); };
        inventory::TSoftInfo entry;
        entry.DisplayName = get(L"DisplayName");
        entry.Publisher = get(L"Publisher");
        entry.RootKeyName = get(L"RootKeyName");
        entry.KeyPath = get(L"KeyPath");
        entry.View64 = get(L"View64") == L"1";
        entry.UninstallString = get(L"UninstallString");
        entry.InstallLocation = get(L"InstallLocation");
        entry.DisplayIcon = get(L"DisplayIcon");
        entry.Readme = get(L"Readme");
        // A section someone else's hand or a torn write left without a name scans nothing useful.
        if (!entry.DisplayName.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace tarvo::uninstall
