#pragma once
// Installing and updating our own copy from the payload the program carries, and removing
// it again (the update's first step, and the whole of our own uninstaller's work).

#include <atomic>
#include <string>
#include <vector>

namespace tarvo::setup {

// An installation run: the first argument (after the program name) is exactly "/install"
// (no trimming, letter case counts); the second, when present, names the target folder.
[[nodiscard]] bool IsInstallRun(const std::vector<std::wstring>& arguments);
[[nodiscard]] std::wstring InstallTargetArgument(const std::vector<std::wstring>& arguments);

// The payload the program carries: an archive written out as Uninstall.data and unpacked.
constexpr const wchar_t* kPayloadResourceName = L"IDR_RCDATA1";
constexpr const wchar_t* kInstalledExeName = L"TarvoUninstaler.exe";
constexpr const wchar_t* kControlPanelClassId = L"{8DE189EC-C9C8-4D31-9F18-E0B7407019A9}";

// The installation job. Done is set when the job ends, however it ends: the starting thread
// waits for it and must go on.
class TInstallerUninstaller {
public:
    explicit TInstallerUninstaller(std::wstring folder) : folder_(std::move(folder)) {}
    void Execute() noexcept;
    [[nodiscard]] bool Done() const noexcept { return done_.load(std::memory_order_acquire); }

private:
    std::wstring folder_;
    std::atomic<bool> done_{false};
};

// The whole job: the registered folder wins over `folder` when an installation exists.
void InstallInto(const std::wstring& folder);
// Ends our processes and removes the registered installation's program files, shell
// extensions and shortcuts; settings, logs and the per-user data folder stay.
void RemovePreviousInstallation();
// Unpacks target + "Uninstall.data" into `target` (with a trailing backslash), registers
// the shell extensions and copies the running executable into place. Archive errors
// propagate: the steps after a missing entry must not run.
void ExtractPayload(const std::wstring& target, bool startOffer);
void CreateShortcuts(const std::wstring& exePath);
void WriteRegistration(const std::wstring& exePath);
// Their counterparts for the removal.
void DeleteShortcuts();
void DeleteRegistration();
void UnpinStartMenuLink();

// Our own uninstaller's work: the previous installation's removal, then its registration
// and the emptied program folder. The per-user data folder stays.
void RemoveInstallation();

// Installs or updates the installed copy into the target folder. Runs on a worker thread;
// returning is its report of completion, on success and on error alike.
void RunSelfInstallationJob(const std::wstring& targetFolder);

// The installation step of a start: when the installed copy is missing or older, run the
// job into the target folder (the default one when empty) and wait for it while pumping.
// True when an installation ran.
bool InstallWhenNeeded(const std::wstring& targetFolder);

// A copy with a file of this name beside it is a development build: a normal start runs
// it where it is instead of installing it (an "/install" run still installs).
constexpr const wchar_t* kNoSelfInstallMarker = L"NoSelfInstall";
[[nodiscard]] bool StartMayInstall();

}  // namespace tarvo::setup
