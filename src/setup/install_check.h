#pragma once
// Whether the running copy must install or update the installed one: decided from what the
// program's own uninstall key says about the installed copy.

#include <windows.h>

#include <array>
#include <string>

namespace tarvo::setup {

constexpr const wchar_t* kOwnUninstallKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarvoUninstall";

// A dotted version cut into its first four parts. Each part is trimmed and read as a whole
// number; the first part that is missing or not a number leaves itself and every later part
// at -1.
using VersionParts = std::array<int, 4>;
[[nodiscard]] VersionParts SplitVersionParts(const std::wstring& text);

// True when any of the first three parts of our version is greater than the installed one's
// same part, each part compared on its own; the fourth part does not count.
[[nodiscard]] bool OwnVersionWantsInstallation(const std::wstring& ownVersion,
                                               const std::wstring& installedVersion);

struct InstalledCopy {
    bool keyOpens = false;
    std::wstring installLocation;  // the installed executable's full path
    std::wstring displayVersion;
};

// Reads the uninstall key in the default registry view (tests point it at a scratch key).
[[nodiscard]] InstalledCopy ReadInstalledCopy(HKEY root = HKEY_LOCAL_MACHINE,
                                              const std::wstring& keyPath = kOwnUninstallKey);

[[nodiscard]] bool InstallationNeeded(const InstalledCopy& installed, const std::wstring& runningExecutable,
                                      const std::wstring& ownVersion);

}  // namespace tarvo::setup
