#include "leftovers/scheduled_tasks.h"

#include "common/text.h"
#include "leftovers/program_names.h"
#include "leftovers/regedit_scan.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "settings/system_info.h"
#include "settings/text_file.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = platform::GetFileAttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring Expanded(const std::wstring& text) {
    std::wstring expanded;
    return platform::ExpandEnvironmentOf(text, expanded) ? expanded : text;
}

std::wstring DecodeEntities(std::wstring text) {
    static const std::pair<const wchar_t*, const wchar_t*> kEntities[] = {
        {L"&quot;", L"\""}, {L"&apos;", L"'"}, {L"&lt;", L"<"}, {L"&gt;", L">"}, {L"&amp;", L"&"}};
    for (const auto& [from, to] : kEntities) text = common::ReplaceAll(text, from, to);
    return text;
}

// XP's .job file: a fixed part of 68 bytes, the running-instance count, then the
// application name as a counted UTF-16 string.
std::vector<std::wstring> JobFileCommands(const std::string& bytes) {
    constexpr std::size_t kNameAt = 70;
    if (bytes.size() < kNameAt + 2) return {};
    const auto count = static_cast<std::size_t>(static_cast<unsigned char>(bytes[kNameAt]) |
                                                (static_cast<unsigned char>(bytes[kNameAt + 1]) << 8));
    if (count == 0 || bytes.size() < kNameAt + 2 + count * 2) return {};
    std::wstring name;
    for (std::size_t i = 0; i < count; ++i) {
        const auto at = kNameAt + 2 + i * 2;
        const auto c = static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                            (static_cast<unsigned char>(bytes[at + 1]) << 8));
        if (c == 0) break;
        name.push_back(c);
    }
    return name.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{Expanded(name)};
}

void ListTasks(const std::wstring& folder, const std::wstring& prefix, bool jobFiles,
               std::vector<TScheduledTask>& tasks) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    std::vector<std::wstring> subfolders;
    for (bool found = finder.FindFirst(folder + L"\\*", data); found; found = finder.FindNext(data)) {
        if (data.cFileName[0] == L'.') continue;
        const std::wstring name = data.cFileName;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!jobFiles && !platform::IsReparsePoint(data.dwFileAttributes)) subfolders.push_back(name);
            continue;
        }
        const bool job = name.size() > 4 && common::EqualsIgnoreCase(name.substr(name.size() - 4), L".job");
        if (jobFiles != job) continue;
        TScheduledTask task{prefix + L"\\" + name, path, {}};
        if (jobFiles) {
            if (const auto bytes = platform::ReadFileBytes(path)) task.commands = JobFileCommands(*bytes);
        } else if (const auto text = settings::ReadTextFile(path)) {
            task.commands = TaskXmlCommands(*text);
        }
        tasks.push_back(std::move(task));
    }
    for (const auto& sub : subfolders) ListTasks(folder + L"\\" + sub, prefix + L"\\" + sub, false, tasks);
}

bool IsJobFolder(const std::wstring& folder) {
    return common::EqualsIgnoreCase(folder, platform::GetWindowsFolder() + L"\\Tasks");
}

// The program file a command starts: its first token, quotes taken away.
std::wstring CommandFile(const std::wstring& command) {
    const std::wstring trimmed = common::Trim(command);
    if (trimmed.empty()) return {};
    if (trimmed.front() == L'"') {
        const auto end = trimmed.find(L'"', 1);
        return trimmed.substr(1, end == std::wstring::npos ? std::wstring::npos : end - 1);
    }
    return trimmed;
}

std::wstring Compact(const std::wstring& text) {
    std::wstring out;
    for (const wchar_t c : LowerCase(text))
        if (c != L' ' && c != L'-' && c != L'_' && c != L'.') out.push_back(c);
    return out;
}

// The task's own name (its last component, without ".job") starts with one of the
// program's names, blanks and punctuation aside: "Foo Editor Update" for "Foo Editor 2.1".
bool NamedLikeProgram(const std::wstring& taskName, const std::wstring& displayName) {
    std::wstring leaf = taskName.substr(taskName.find_last_of(L'\\') + 1);
    if (leaf.size() > 4 && common::EqualsIgnoreCase(leaf.substr(leaf.size() - 4), L".job")) leaf.resize(leaf.size() - 4);
    const std::wstring task = Compact(leaf);
    for (const auto& name : ProgramKeyNames(displayName)) {
        const std::wstring program = Compact(name);
        if (program.size() >= 4 && task.compare(0, program.size(), program) == 0) return true;
    }
    return false;
}

}  // namespace

std::vector<std::wstring> TaskFolders() {
    std::vector<std::wstring> folders;
    const std::wstring windows = platform::GetWindowsFolder();
    if (windows.empty()) return folders;
    const std::wstring native = settings::SystemFolderRedirected() ? windows + L"\\Sysnative\\Tasks" : platform::GetSystemFolder() + L"\\Tasks";
    if (IsFolder(native)) folders.push_back(native);
    if (IsFolder(windows + L"\\Tasks")) folders.push_back(windows + L"\\Tasks");
    return folders;
}

std::vector<TScheduledTask> ReadScheduledTasks(const std::vector<std::wstring>& folders) {
    std::vector<TScheduledTask> tasks;
    for (const auto& folder : folders) ListTasks(folder, {}, IsJobFolder(folder), tasks);
    return tasks;
}

std::vector<std::wstring> TaskXmlCommands(const std::wstring& xml) {
    std::vector<std::wstring> commands;
    const std::wstring open = L"<Command>", close = L"</Command>";
    for (auto at = xml.find(open); at != std::wstring::npos; at = xml.find(open, at + 1)) {
        const auto start = at + open.size();
        const auto end = xml.find(close, start);
        if (end == std::wstring::npos) break;
        const std::wstring command = common::Trim(DecodeEntities(xml.substr(start, end - start)));
        if (!command.empty()) commands.push_back(Expanded(command));
    }
    return commands;
}

std::vector<std::wstring> TaskCacheKeys(const std::wstring& taskName) {
    std::wstring name = taskName;
    while (!name.empty() && name.front() == L'\\') name.erase(0, 1);
    if (name.empty()) return {};
    const auto view = settings::IsWow64() ? platform::RegistryView::Wow64_64Key : platform::RegistryView::Default;
    const std::wstring base = kTaskCacheKey;
    std::vector<std::wstring> keys;
    platform::RegistryKey tree;
    if (tree.Open(HKEY_LOCAL_MACHINE, base + L"\\Tree\\" + name, KEY_READ, view) != ERROR_SUCCESS) return keys;
    keys.push_back(L"Tree\\" + name);
    const std::wstring id = common::Trim(tree.QueryString(L"Id").value_or(std::wstring()));
    if (id.size() < 3 || id.front() != L'{' || id.find(L'\\') != std::wstring::npos) return keys;
    for (const wchar_t* list : {L"Tasks", L"Boot", L"Logon", L"Plain"}) {
        const std::wstring key = std::wstring(list) + L"\\" + id;
        if (platform::RegKeyExists(HKEY_LOCAL_MACHINE, base + L"\\" + key, view)) keys.push_back(key);
    }
    return keys;
}

std::wstring TaskNameOfCacheKey(HKEY root, const std::wstring& keyPath) {
    if (root != HKEY_LOCAL_MACHINE) return {};
    const std::wstring prefix = LowerCase(std::wstring(kTaskCacheKey) + L"\\Tree\\");
    std::wstring path = keyPath;
    while (!path.empty() && path.front() == L'\\') path.erase(0, 1);
    if (path.size() <= prefix.size() || LowerCase(path.substr(0, prefix.size())) != prefix) return {};
    return L"\\" + path.substr(prefix.size());
}

std::wstring TaskNameOfFile(const std::wstring& path, const std::vector<std::wstring>& folders) {
    for (const auto& folder : folders) {
        const std::wstring prefix = LowerCase(folder + L"\\");
        if (path.size() > prefix.size() && LowerCase(path.substr(0, prefix.size())) == prefix)
            return L"\\" + path.substr(prefix.size());
    }
    return {};
}

void ScheduledTaskRule(TRegeditScanClasses& scan) {
    if (scan.FolderKey.empty()) return;
    const auto view = settings::IsWow64() ? platform::RegistryView::Wow64_64Key : platform::RegistryView::Default;
    TRuleSet& set = scan.Sets.Own(L"TaskCache");
    for (const auto& task : ReadScheduledTasks()) {
        scan.Pump();
        bool inFolder = false, foreign = false, gone = !task.commands.empty();
        for (const auto& command : task.commands) {
            inFolder |= scan.ContainsFolder(command);
            foreign |= scan.Ownership().PointsIntoOther(command);
            const std::wstring file = CommandFile(command);
            gone &= !file.empty() && !platform::FileExists(file);
        }
        if (foreign) continue;
        if (!inFolder && !(gone && NamedLikeProgram(task.name, scan.Entry.DisplayName))) continue;
        if (!scan.ReportPath(task.file, PathKind::File, 0)) continue;
        const auto before = scan.ViewOverride();
        scan.OverrideView(view);
        for (const auto& key : TaskCacheKeys(task.name))
            scan.ReportKey(set, HKEY_LOCAL_MACHINE, key, std::wstring(kTaskCacheKey) + L"\\" + key);
        scan.OverrideView(before);
    }
}

}  // namespace tarvo::leftovers
