#include "inventory/quiet_uninstall.h"

#include <cwctype>
#include <vector>

#include "common/text.h"
#include "inventory/command_analysis.h"
#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace tarvo::inventory {

namespace {

// Enough for the stub and the start of the data of every family recognised here; an
// uninstaller of hundreds of megabytes is not read whole to learn its switches.
constexpr std::size_t kReadLimit = 4 * 1024 * 1024;

bool Holds(std::string_view bytes, std::string_view ascii) { return bytes.find(ascii) != std::string_view::npos; }

// Resource strings are UTF-16: the same letters with a zero byte after each.
bool HoldsWide(std::string_view bytes, std::string_view ascii) {
    std::string wide;
    for (const char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return Holds(bytes, wide);
}

// "unins000.exe" … "unins999.exe".
bool IsInnoUninstallerName(std::wstring_view name) {
    const std::wstring lower = common::LowerCase(std::wstring(name));
    if (lower.size() != 12 || lower.compare(0, 5, L"unins") != 0 || lower.compare(8, 4, L".exe") != 0) return false;
    for (std::size_t i = 5; i < 8; ++i)
        if (!std::iswdigit(lower[i])) return false;
    return true;
}

// A braced product code, exactly as Windows Installer writes it.
bool IsBracedGuid(std::wstring_view text) {
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != L'-' : !std::iswxdigit(text[i])) return false;
    }
    return true;
}

// The product code of an "MsiExec.exe /X{…}" or "/I{…}" command; empty for anything else,
// so no other argument of the stored command ever reaches the quiet one.
std::wstring MsiProductCode(const std::wstring& command) {
    const std::wstring upper = common::UpperCase(command);
    if (upper.find(L"MSIEXEC") == std::wstring::npos) return {};
    for (const wchar_t* option : {L"/X", L"/I", L"-X", L"-I"}) {
        auto at = upper.find(option);
        if (at == std::wstring::npos) continue;
        at += 2;
        while (at < upper.size() && upper[at] == L' ') ++at;
        if (at + 38 <= command.size() && IsBracedGuid(std::wstring_view(command).substr(at, 38)))
            return command.substr(at, 38);
    }
    return {};
}

// A blank-separated argument equal to `option` (any case): "/S" is not "/SILENT", nor a
// folder named "/Stuff".
bool HasSwitch(const std::wstring& command, const std::wstring& option) {
    const std::wstring upper = common::UpperCase(command);
    const std::wstring wanted = common::UpperCase(option);
    for (std::size_t at = upper.find(wanted); at != std::wstring::npos; at = upper.find(wanted, at + 1)) {
        const std::size_t end = at + wanted.size();
        if (at > 0 && upper[at - 1] == L' ' && (end == upper.size() || upper[end] == L' ')) return true;
    }
    return false;
}

}  // namespace

InstallerFamily InstallerFamilyOf(std::string_view bytes, std::wstring_view fileName, bool innoLogBeside) {
    if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return InstallerFamily::Unknown;
    // The section the WiX bootstrapper keeps its container table in.
    if (Holds(bytes.substr(0, 4096), ".wixburn")) return InstallerFamily::WixBundle;
    if (Holds(bytes, "NullsoftInst")) return InstallerFamily::Nsis;
    if (IsInnoUninstallerName(fileName) && (innoLogBeside || HoldsWide(bytes, "Inno Setup")))
        return InstallerFamily::InnoSetup;
    if (HoldsWide(bytes, "InstallShield") || Holds(bytes, "InstallShield")) return InstallerFamily::InstallShield;
    if (common::EqualsIgnoreCase(fileName, L"Update.exe")) return InstallerFamily::SelfUpdating;
    return InstallerFamily::Unknown;
}

InstallerFamily InstallerFamilyOfFile(const std::wstring& path) {
    platform::FileStream file;
    if (path.empty() || !file.OpenRead(path)) return InstallerFamily::Unknown;
    std::string bytes(kReadLimit, '\0');
    std::size_t total = 0;
    while (total < bytes.size()) {
        const std::size_t read = file.ReadSome(bytes.data() + total, bytes.size() - total);
        if (read == 0) break;
        total += read;
    }
    bytes.resize(total);
    const auto slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const bool logBeside = IsInnoUninstallerName(name) && name.size() == 12 &&
                           platform::FileExists(path.substr(0, path.size() - 4) + L".dat");
    return InstallerFamilyOf(bytes, name, logBeside);
}

QuietCommand QuietCommandFor(const std::wstring& uninstallString, const std::wstring& quietString,
                             InstallerFamily family, const std::wstring& productCode) {
    if (!common::Trim(quietString).empty()) return {common::Trim(quietString), QuietSource::EntryQuiet};
    const std::wstring command = common::Trim(uninstallString);
    if (command.empty()) return {};
    // /norestart: a quiet Windows Installer run restarts the machine by itself when the
    // package asks for it, which would end the batch (and the user's work) half way.
    if (const std::wstring code = MsiProductCode(command); !code.empty())
        return {L"MsiExec.exe /X" + code + L" /qn /norestart", QuietSource::Msi};
    switch (family) {
        case InstallerFamily::Nsis: {
            if (HasSwitch(command, L"/S")) return {command, QuietSource::Nsis};
            // "_?=" must stay the last argument: everything after it is the folder.
            const auto folderArgument = command.find(L" _?=");
            if (folderArgument != std::wstring::npos)
                return {command.substr(0, folderArgument) + L" /S" + command.substr(folderArgument), QuietSource::Nsis};
            return {command + L" /S", QuietSource::Nsis};
        }
        case InstallerFamily::InnoSetup:
            return {command + L" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART", QuietSource::InnoSetup};
        case InstallerFamily::WixBundle:
            // Only a command that already uninstalls: another bundle argument could repair.
            if (!HasSwitch(command, L"/uninstall")) return {};
            return {command + L" /quiet /norestart", QuietSource::WixBundle};
        case InstallerFamily::InstallShield:
            // Its Windows Installer kind is an installer product like any other.
            if (IsBracedGuid(productCode))
                return {L"MsiExec.exe /X" + productCode + L" /qn /norestart", QuietSource::InstallShield};
            // Only a command that already removes: a bare setup.exe -s could repair or modify.
            if (!HasSwitch(command, L"-removeonly") && !HasSwitch(command, L"-uninst"))
                return {{}, QuietSource::InstallShield};
            return {HasSwitch(command, L"-s") ? command : command + L" -s", QuietSource::InstallShield};
        case InstallerFamily::SelfUpdating:
            if (!HasSwitch(command, L"--uninstall")) return {};
            return {HasSwitch(command, L"-s") ? command : command + L" -s", QuietSource::SelfUpdating};
        case InstallerFamily::Unknown:
            break;
    }
    return {};
}

QuietCommand QuietCommandForEntry(const TSoftInfo& entry) {
    const auto location = platform::RegistryLocation::FromNames(entry.RootKeyName, entry.KeyPath, entry.View64);
    const std::wstring quiet = location.root ? platform::ReadStringValue(location, L"QuietUninstallString") : L"";
    if (!common::Trim(quiet).empty() || !MsiProductCode(entry.UninstallString).empty())
        return QuietCommandFor(entry.UninstallString, quiet, InstallerFamily::Unknown);
    std::wstring productCode;
    if (location.root && platform::ReadIntegerValue(location, L"WindowsInstaller") == 1) {
        const auto slash = entry.KeyPath.find_last_of(L'\\');
        productCode = slash == std::wstring::npos ? entry.KeyPath : entry.KeyPath.substr(slash + 1);
    }
    return QuietCommandFor(entry.UninstallString, quiet, InstallerFamilyOfFile(FileFromCommandLine(entry.UninstallString)),
                           productCode);
}

}  // namespace tarvo::inventory
