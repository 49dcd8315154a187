#include "inventory/quiet_uninstall.h"

#include <gtest/gtest.h>

#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::inventory;

namespace {

std::string Pe(const std::string& tail) { return std::string("MZ\x90\0", 4) + std::string(64, '\0') + tail; }
std::string Wide(const std::string& ascii) {
    std::string wide;
    for (const char c : ascii) wide += std::string{c, '\0'};
    return wide;
}

}  // namespace

TEST(InstallerFamily, RecognisedFromTheUninstallersOwnBytes) {
    const struct {
        std::string bytes;
        std::wstring name;
        bool innoLog;
        InstallerFamily family;
    } cases[] = {
        {Pe("....\xEF\xBE\xAD\xDENullsoftInst...."), L"uninstall.exe", false, InstallerFamily::Nsis},
        {Pe(std::string(".text\0\0\0.wixburn\0", 17)), L"setup.exe", false, InstallerFamily::WixBundle},
        {Pe(""), L"unins000.exe", true, InstallerFamily::InnoSetup},
        {Pe(Wide("Inno Setup")), L"UNINS001.EXE", false, InstallerFamily::InnoSetup},
        // The name alone, or the words in any other file, are not enough.
        {Pe(""), L"unins000.exe", false, InstallerFamily::Unknown},
        {Pe(Wide("Inno Setup")), L"uninstall.exe", false, InstallerFamily::Unknown},
        {Pe(Wide("InstallShield")), L"setup.exe", false, InstallerFamily::InstallShield},
        {"NullsoftInst without a program header", L"uninstall.exe", false, InstallerFamily::Unknown},
        {Pe("plain program"), L"uninstall.exe", false, InstallerFamily::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstallerFamilyOf(c.bytes, c.name, c.innoLog), c.family) << c.name << " " << c.bytes.size();
}

TEST(QuietCommand, EachFamilyGetsItsDocumentedSwitchesAndNothingElse) {
    const std::wstring code = L"{12345678-90AB-CDEF-1234-567890ABCDEF}";
    const struct {
        std::wstring command, quiet;
        InstallerFamily family;
        std::wstring expected;
        QuietSource source;
    } cases[] = {
        {L"\"C:\\P\\un.exe\"", L" \"C:\\P\\un.exe\" /silent ", InstallerFamily::Nsis, L"\"C:\\P\\un.exe\" /silent",
         QuietSource::EntryQuiet},
        {L"MsiExec.exe /I" + code, L"", InstallerFamily::Unknown, L"MsiExec.exe /X" + code + L" /qn /norestart",
         QuietSource::Msi},
        {L"msiexec /x " + code + L" REMOVE=ALL", L"", InstallerFamily::Unknown,
         L"MsiExec.exe /X" + code + L" /qn /norestart", QuietSource::Msi},
        // A malformed code is not trusted into a command line.
        {L"MsiExec.exe /X{1234&calc}", L"", InstallerFamily::Unknown, L"", QuietSource::None},
        {L"\"C:\\P\\uninst.exe\"", L"", InstallerFamily::Nsis, L"\"C:\\P\\uninst.exe\" /S", QuietSource::Nsis},
        {L"\"C:\\P\\uninst.exe\" /S", L"", InstallerFamily::Nsis, L"\"C:\\P\\uninst.exe\" /S", QuietSource::Nsis},
        {L"C:\\P\\uninst.exe _?=C:\\P", L"", InstallerFamily::Nsis, L"C:\\P\\uninst.exe /S _?=C:\\P",
         QuietSource::Nsis},
        {L"\"C:\\P\\unins000.exe\"", L"", InstallerFamily::InnoSetup,
         L"\"C:\\P\\unins000.exe\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART", QuietSource::InnoSetup},
        {L"\"C:\\Cache\\b.exe\" /uninstall", L"", InstallerFamily::WixBundle,
         L"\"C:\\Cache\\b.exe\" /uninstall /quiet /norestart", QuietSource::WixBundle},
        {L"\"C:\\Cache\\b.exe\" /modify", L"", InstallerFamily::WixBundle, L"", QuietSource::None},
        {L"\"C:\\P\\setup.exe\" -runfromtemp", L"", InstallerFamily::InstallShield, L"", QuietSource::InstallShield},
        {L"\"C:\\P\\setup.exe\" -runfromtemp -l0x0409 -removeonly", L"", InstallerFamily::InstallShield,
         L"\"C:\\P\\setup.exe\" -runfromtemp -l0x0409 -removeonly -s", QuietSource::InstallShield},
        {L"\"C:\\Users\\u\\AppData\\Local\\App\\Update.exe\" --uninstall", L"", InstallerFamily::SelfUpdating,
         L"\"C:\\Users\\u\\AppData\\Local\\App\\Update.exe\" --uninstall -s", QuietSource::SelfUpdating},
        {L"\"C:\\Users\\u\\AppData\\Local\\App\\Update.exe\" --processStart App.exe", L"",
         InstallerFamily::SelfUpdating, L"", QuietSource::None},
        {L"\"C:\\P\\own.exe\"", L"", InstallerFamily::Unknown, L"", QuietSource::None},
        {L"", L"", InstallerFamily::Nsis, L"", QuietSource::None},
    };
    for (const auto& c : cases) {
        const QuietCommand quiet = QuietCommandFor(c.command, c.quiet, c.family);
        EXPECT_EQ(QuietCommandFor(c.command, c.quiet, c.family, code).command,
                  c.family == InstallerFamily::InstallShield ? L"MsiExec.exe /X" + code + L" /qn /norestart" : c.expected)
            << c.command;
        EXPECT_EQ(quiet.command, c.expected) << c.command;
        EXPECT_EQ(quiet.source, c.source) << c.command;
        EXPECT_EQ(quiet.Quiet(), !c.expected.empty()) << c.command;
    }
}

// The entry's key and file as the inventory leaves them: the stored quiet command wins,
// and an uninstaller file is read for its family.
TEST(QuietCommand, ReadsTheEntrysKeyAndFile) {
    tarvo::test::ScratchKey key(HKEY_CURRENT_USER, L"Software", tarvo::platform::RegistryView::Default);
    tarvo::test::ScratchFolder folder;
    const std::wstring file = folder.MakeFile(L"uninst.exe", Pe("\xEF\xBE\xAD\xDENullsoftInst"));
    TSoftInfo entry;
    entry.RootKeyName = L"HKEY_CURRENT_USER";
    entry.KeyPath = L"\\" + key.path();
    entry.UninstallString = L"\"" + file + L"\"";
    EXPECT_EQ(QuietCommandForEntry(entry).command, entry.UninstallString + L" /S");
    key.SetString(L"", L"QuietUninstallString", L"\"" + file + L"\" /quiet-please");
    EXPECT_EQ(QuietCommandForEntry(entry).command, L"\"" + file + L"\" /quiet-please");
}
