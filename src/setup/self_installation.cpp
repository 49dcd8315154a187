#include "setup/self_installation.h"

#include <windows.h>

#include "archive/archive_error.h"
#include "archive/zip_decompression.h"
#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "settings/safe_ini_file.h"
#include "settings/system_info.h"
#include "setup/install_check.h"
#include "setup/install_files.h"
#include "setup/job_wait.h"
#include "setup/startup_folders.h"
#include "setup/test_log.h"

namespace tarvo::setup {

bool IsInstallRun(const std::vector<std::wstring>& arguments) {
    return !arguments.empty() && arguments[0] == L"/install";
}

std::wstring InstallTargetArgument(const std::vector<std::wstring>& arguments) {
    return arguments.size() > 1 ? arguments[1] : std::wstring();
}

namespace {
constexpr const wchar_t* kPayloadFile = L"Uninstall.data";

// Payload entries and where they go below the target folder, in the order they are unpacked.
struct PayloadFile {
    const wchar_t* entry;
    const wchar_t* destination;
};
constexpr PayloadFile kLibrariesAndTools[] = {
    {L"sqlite3.dll", L"sqlite3.dll"},
    {L"RemovalOffer.exe", L"RemovalOffer.exe"},
    {L"UsageReport.dll", L"UsageReport.dll"},
    {L"AutoPatch.exe", L"AutoPatch.exe"},
    {L"English.lng", L"Language\\English.lng"},
    {L"German.lng", L"Language\\German.lng"},
    {L"ScoreBase.dbd", L"ScoreBase.dbd"},
    {L"Help.html", L"help.html"},  // the user manual, which the Start menu's "Help" opens
};

std::wstring Bitness() { return settings::IsWow64() ? L"64" : L"32"; }
std::wstring ContextMenuDll() { return L"ShellVerb" + Bitness() + L".dll"; }
std::wstring ExplorerDll() { return L"ShellWatch" + Bitness() + L".dll"; }

void ExtractTo(const std::wstring& archive, const std::wstring& entry, const std::wstring& destination) {
    archive::StringSink bytes;
    archive::TZipDeCompression::ExtractFile(archive, entry, bytes, archive::kArchivePassPhrase);
    (void)settings::EnsureFolderExists(common::FolderPart(destination));
    (void)platform::WriteFileBytes(destination, bytes.bytes());
}

void DeleteFolderFiles(const std::wstring& folder) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data;
    for (bool more = finder.FindFirst(folder + L"*", data); more; more = finder.FindNext(data))
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) (void)platform::DeleteFileOf(folder + data.cFileName);
    finder.Close();
    (void)platform::RemoveDirectoryOf(folder);
}

// A registration change must be in place before the library it names goes (else its keys
// outlive it) and before the job reports completion.
void Regsvr32AndWait(const std::wstring& dll, bool unregister) {
    if (platform::FileExists(dll)) RunRegsvr32(dll, unregister);
}

// The pieces of the previous installation an update replaces, with whether the processes
// running them are ended first.
struct RetiredFile {
    const wchar_t* name;
    bool killFirst;
};
}  // namespace

void TInstallerUninstaller::Execute() noexcept {
    try {
        InstallInto(folder_);
    } catch (const archive::ArchiveError& error) {
        test_log::Log(L"self-installation stopped: " + error.message());
    } catch (...) {
        test_log::Log(L"self-installation stopped");
    }
    done_.store(true, std::memory_order_release);
}

void InstallInto(const std::wstring& folder) {
    // Nothing of the installed copy is touched unless there is something to install from.
    const auto payload = platform::LoadResourceBytes(nullptr, RT_RCDATA, kPayloadResourceName,
                                                     MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    if (!payload || payload->empty()) {
        test_log::Log(L"self-installation: no payload");
        return;
    }
    const bool wasRunning = KillOtherProcesses(kInstalledExeName);

    const InstalledCopy installed = ReadInstalledCopy();
    if (platform::FileExists(installed.installLocation))
        (void)platform::DeleteFileOf(common::FolderPart(installed.installLocation) + L"LatestNews\\LatestNews.ini");
    const std::wstring registeredFolder = common::FolderPart(installed.installLocation);
    std::wstring target = folder;
    if (!registeredFolder.empty()) {
        RemovePreviousInstallation();
        target = registeredFolder;
    }
    (void)settings::EnsureFolderExists(target);
    target = common::WithTrailingBackslash(target);

    (void)platform::DeleteFileOf(target + kPayloadFile);
    if (!platform::WriteFileBytes(target + kPayloadFile, *payload)) {
        test_log::Log(L"self-installation: cannot write to " + target);
        return;
    }
    ExtractPayload(target, true);
    const std::wstring exePath = target + kInstalledExeName;
    CreateShortcuts(exePath);
    WriteRegistration(exePath);
    StartHidden(target + L"AutoPatch.exe", L"/install");
    const auto arguments = platform::CommandLineArguments();
    if (wasRunning && IsInstallRun(arguments) && platform::FileExists(exePath)) (void)platform::ShellOpen(exePath);
    test_log::Log(L"self-installation done: " + target);
}

void ExtractPayload(const std::wstring& target, bool startOffer) {
    const std::wstring archive = target + kPayloadFile;
    RetireFile(target, L"sqlite3.dll", false);
    for (const auto& file : kLibrariesAndTools) ExtractTo(archive, file.entry, target + file.destination);
    RetireFile(target, L"RemovalHost.exe", true);
    ExtractTo(archive, L"RemovalHost.exe", target + L"RemovalHost.exe");

    // A shell extension Explorer holds cannot be overwritten: the old one is moved aside and
    // the new one lands under a free name before it takes the real one.
    RetireFile(target, ExplorerDll(), false);
    RetireFile(target, ContextMenuDll(), false);
    for (const std::wstring& dll : {ExplorerDll(), ContextMenuDll()}) {
        const std::wstring base = dll.substr(0, dll.size() - 4);
        const std::wstring temporary = target + FreeFileName(target, base, L".dll") + L".dll";
        ExtractTo(archive, dll, temporary);
        (void)platform::MoveFileReplacing(temporary, target + dll);
    }
    if (startOffer) StartHidden(target + L"RemovalOffer.exe", L"/install tu3");
    Regsvr32AndWait(target + ContextMenuDll(), false);
    Regsvr32AndWait(target + ExplorerDll(), false);
    (void)platform::DeleteFileOf(archive);

    RetireFile(target, kInstalledExeName, false);
    (void)platform::CopyFileOf(RunningExecutablePath(), target + kInstalledExeName);
}

void RemovePreviousInstallation() {
    UnpinStartMenuLink();
    const bool wow64 = settings::IsWow64();
    const platform::FsRedirectionOff nativeFolders(wow64);
    const bool privileged = settings::EnablePrivilege(L"SeDebugPrivilege", true);
    KillOtherProcesses(kInstalledExeName);

    const std::wstring old = common::FolderPart(ReadInstalledCopy().installLocation);
    if (!old.empty()) {
        for (const wchar_t* sub : {L"Language\\", L"Lan_AutoPatch\\", L"Images\\"}) DeleteFolderFiles(old + sub);
        (void)platform::DeleteFileOf(old + L"help.html");
        Regsvr32AndWait(old + ContextMenuDll(), true);
        Regsvr32AndWait(old + ExplorerDll(), true);
        if (platform::FileExists(old + L"RemovalOffer.exe")) StartHidden(old + L"RemovalOffer.exe", L"/uninstall tu3");
        const std::wstring contextMenuDll = ContextMenuDll(), explorerDll = ExplorerDll();
        const RetiredFile retired[] = {
            {L"pr.dat", true},          {L"AutoPatch.exe", false},       {L"EULA.rtf", true},
            {L"RemovalHost.exe", true}, {L"UsageReport.dll", true},      {contextMenuDll.c_str(), true},
            {explorerDll.c_str(), true}, {L"RemovalOffer.exe", true},    {L"ScoreBase.dbd", true},
            {L"sqlite3.dll", true},     {kInstalledExeName, true}};
        for (const auto& file : retired) RetireFile(old, file.name, file.killFirst);
        (void)platform::DeleteFileOf(old + L"LatestNews\\LatestNews.ini");
        (void)platform::RemoveDirectoryOf(old + L"LatestNews");
    }
    DeleteShortcuts();
    if (privileged) (void)settings::EnablePrivilege(L"SeDebugPrivilege", false);
}

void RemoveInstallation() {
    const std::wstring old = common::FolderPart(ReadInstalledCopy().installLocation);
    RemovePreviousInstallation();
    DeleteRegistration();
    if (old.empty()) return;
    (void)platform::DeleteFileOf(old + kPayloadFile);
    // Only emptied folders go: a file the user put there keeps its folder.
    // Only emptied folders go: a file the user put there keeps its folder. A folder that still
    // holds our files in use goes at the restart that takes them (Windows removes only empty
    // folders then, after the files due before them).
    const std::wstring folder = common::WithoutTrailingBackslashes(old);
    const std::wstring vendor = common::WithoutTrailingBackslashes(common::ParentFolder(folder));
    const auto removeEmptied = [](const std::wstring& emptied) {
        if (!platform::RemoveDirectoryOf(emptied)) (void)platform::DeleteFileAtRestart(emptied);
    };
    removeEmptied(folder);
    // The vendor folder of the default target, when nothing else of ours is left in it.
    if (common::EqualsIgnoreCase(common::NamePart(vendor), L"Tarvo")) removeEmptied(vendor);
}

void RunSelfInstallationJob(const std::wstring& targetFolder) {
    test_log::Log(L"self-installation: " + targetFolder);
    TInstallerUninstaller job(targetFolder);
    job.Execute();
}

bool StartMayInstall() {
    return !platform::FileExists(common::FolderPart(RunningExecutablePath()) + kNoSelfInstallMarker);
}

bool InstallWhenNeeded(const std::wstring& targetFolder) {
    if (!InstallationNeeded(ReadInstalledCopy(), RunningExecutablePath(), OwnFileVersionText())) return false;
    const std::wstring target = targetFolder.empty() ? DefaultInstallTargetFolder() : targetFolder;
    RunJobWhilePumping([&target] { RunSelfInstallationJob(target); });
    return true;
}

}  // namespace tarvo::setup
