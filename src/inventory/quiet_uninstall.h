#pragma once
// Removing a program without its uninstaller's own questions, for batches that run
// unattended: the entry's own quiet command when it gives one, Windows Installer's quiet
// mode for installer products, and the documented silent switches of the installer families
// recognised from the uninstaller's own file. Whatever is not recognised runs as it is.

#include <string>
#include <string_view>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

// SelfUpdating: the per-user kind that keeps "%LocalAppData%\<App>\Update.exe" beside its
// "app-1.2.3" folders and uninstalls through "Update.exe --uninstall".
enum class InstallerFamily { Unknown, Nsis, InnoSetup, InstallShield, WixBundle, SelfUpdating };

// The family from the uninstaller file's leading bytes. Inno Setup's uninstaller is known by
// its name ("unins000.exe") together with the log it reads beside it.
[[nodiscard]] InstallerFamily InstallerFamilyOf(std::string_view bytes, std::wstring_view fileName,
                                                bool innoLogBeside);
// The same for a file on disk; Unknown when it cannot be read.
[[nodiscard]] InstallerFamily InstallerFamilyOfFile(const std::wstring& path);

enum class QuietSource {
    None,         // no quiet way known: the uninstaller runs as it is
    EntryQuiet,   // the entry's QuietUninstallString
    Msi,          // MsiExec /X{code} /qn
    Nsis,         // /S
    InnoSetup,    // /VERYSILENT /SUPPRESSMSGBOXES /NORESTART
    WixBundle,    // /quiet /norestart beside the bundle's /uninstall
    InstallShield,  // -s beside its -removeonly (not quiet without it); the Windows Installer kind by its code
    SelfUpdating    // Update.exe --uninstall -s
};

struct QuietCommand {
    std::wstring command;  // empty unless the source is one that runs quietly
    QuietSource source = QuietSource::None;

    [[nodiscard]] bool Quiet() const noexcept { return !command.empty(); }
};

// Pure: the quiet command from the entry's commands and the family of its uninstaller.
// `productCode`: the braced code of an entry that Windows Installer keeps (its key is named by
// it and says WindowsInstaller=1), which InstallShield's setup.exe merely wraps; empty otherwise.
[[nodiscard]] QuietCommand QuietCommandFor(const std::wstring& uninstallString, const std::wstring& quietString,
                                           InstallerFamily family, const std::wstring& productCode = {});
// Reads the entry's QuietUninstallString and, when needed, its uninstaller file.
[[nodiscard]] QuietCommand QuietCommandForEntry(const TSoftInfo& entry);

}  // namespace tarvo::inventory
