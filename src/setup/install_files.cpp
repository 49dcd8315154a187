#include "setup/install_files.h"

#include <windows.h>

#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "settings/system_info.h"

namespace tarvo::setup {

std::wstring FreeFileName(const std::wstring& folder, const std::wstring& base, const std::wstring& ext) {
    for (unsigned n = 1;; ++n) {
        std::wstring name = base + L"_" + std::to_wstring(n);
        if (platform::GetFileAttributesOf(folder + name + ext) == INVALID_FILE_ATTRIBUTES) return name;
    }
}

void RetireFile(const std::wstring& folder, const std::wstring& name, bool killFirst) {
    const std::wstring path = folder + name;
    if (!platform::FileExists(path)) return;
    if (killFirst) KillOtherProcesses(name);
    if (platform::DeleteFileOf(path)) return;
    const std::size_t dot = name.rfind(L'.');
    const std::wstring base = dot == std::wstring::npos ? name : name.substr(0, dot);
    const std::wstring ext = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    const std::wstring retired = folder + FreeFileName(folder, base, ext) + ext;
    if (platform::MoveFileReplacing(path, retired)) (void)platform::DeleteFileAtRestart(retired);
}

namespace {
bool ImageMatches(const platform::ProcessEntry& entry, const std::wstring& imageName) {
    return common::EqualsIgnoreCase(entry.exeName, imageName) ||
           common::EqualsIgnoreCase(common::NamePart(entry.exeName), imageName);
}
}  // namespace

bool OtherProcessRuns(const std::wstring& imageName) {
    const DWORD self = ::GetCurrentProcessId();
    for (const auto& entry : platform::SnapshotProcesses())
        if (entry.id != self && ImageMatches(entry, imageName)) return true;
    return false;
}

bool KillOtherProcesses(const std::wstring& imageName) {
    const DWORD self = ::GetCurrentProcessId();
    bool found = false;
    for (const auto& entry : platform::SnapshotProcesses()) {
        if (entry.id == self || !ImageMatches(entry, imageName)) continue;
        found = true;
        const platform::unique_handle process = platform::OpenProcessOf(entry.id, PROCESS_TERMINATE);
        if (process) platform::TerminateProcessOf(process.get(), 0);
    }
    return found;
}

bool CreateShortcut(const std::wstring& target, const std::wstring& name, const std::wstring& folder, int csidl,
                    const std::wstring& arguments) {
    if (!platform::FileExists(target)) return false;
    std::wstring linkFolder = csidl >= 0 ? platform::GetSpecialFolderPath(csidl) : folder;
    linkFolder = common::WithoutTrailingBackslashes(linkFolder);
    if (linkFolder.empty() || !platform::FolderExists(linkFolder)) return false;
    std::wstring linkName = name;
    if (linkName.empty()) {
        linkName = common::NamePart(target);
        const std::size_t dot = linkName.rfind(L'.');
        if (dot != std::wstring::npos) linkName.resize(dot);
    }
    return platform::CreateShellLinkIn(linkFolder + L"\\" + linkName + L".lnk", target,
                                       common::FolderPart(target), arguments);
}

void StartHidden(const std::wstring& program, const std::wstring& arguments) {
    (void)platform::CreateProcessOf(L"\"" + program + L"\" " + arguments, 0, {}, SW_HIDE);
}

void RunRegsvr32(const std::wstring& dll, bool unregister) {
    const bool wow64 = settings::IsWow64();
    std::optional<platform::StartedProcess> started;
    {
        const platform::FsRedirectionOff nativeSystemFolder(wow64);
        started = platform::CreateProcessOf(L"\"" + platform::GetSystemFolder() + L"\\regsvr32.exe\" " +
                                                (unregister ? L"/u /s \"" : L"/s \"") + dll + L"\"",
                                            0, {}, SW_HIDE);
    }
    // Bounded: a regsvr32 that hangs must not hold the installation.
    if (started) (void)platform::WaitForExitCode(started->process.get(), 30000);
}

}  // namespace tarvo::setup
