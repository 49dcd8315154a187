#include "setup/install_check.h"

#include <gtest/gtest.h>

#include "support/scratch_registry.h"

using namespace tarvo::setup;
using tarvo::platform::RegistryView;

TEST(VersionParts, SplitStopsAtTheFirstPartThatIsNotANumber) {
    const struct {
        const wchar_t* text;
        VersionParts parts;
    } cases[] = {
        {L"5.1.2.600", {5, 1, 2, 600}},
        {L" 3 . 0 .0. 1 ", {3, 0, 0, 1}},
        {L"5.1", {5, 1, -1, -1}},
        {L"", {-1, -1, -1, -1}},
        {L"x.2.3.4", {-1, -1, -1, -1}},
        {L"2.beta.3.4", {2, -1, -1, -1}},
        {L"1..3.4", {1, -1, -1, -1}},
        {L"1.2.3.4.5", {1, 2, 3, 4}},
        {L"7.99999999999.1.1", {7, -1, -1, -1}},
        {L"1.2.3.", {1, 2, 3, -1}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitVersionParts(c.text), c.parts) << c.text;
}

TEST(VersionParts, EachOfTheFirstThreePartsIsComparedOnItsOwn) {
    const struct {
        const wchar_t* own;
        const wchar_t* installed;
        bool wanted;
    } cases[] = {
        {L"5.1.1.900", L"5.1.2.600", false},  // older in the third part, newer in the fourth
        {L"4.9.0.0", L"5.1.2.600", true},     // older overall, yet 9 > 1 in the second part
        {L"5.1.2.601", L"5.1.2.600", false},  // the fourth part never counts
        {L"5.1.2.600", L"5.1.2.600", false},
        {L"6.0.0.0", L"5.1.2.600", true},
        {L"5.1.3.0", L"5.1.2.600", true},
        {L"3.0.0.1", L"unknown", true},       // any readable part beats -1
        {L"", L"5.1.2.600", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OwnVersionWantsInstallation(c.own, c.installed), c.wanted) << c.own << L" vs " << c.installed;
}

TEST(InstallationNeeded, DecidedFromTheInstalledCopy) {
    const std::wstring running = L"C:\\Temp\\TarvoUninstaller.exe";
    // No key at all: nothing is installed.
    EXPECT_TRUE(InstallationNeeded(InstalledCopy{}, running, L"3.0.0.1"));
    // The running copy is the installed one, letter case and blanks aside, whatever the versions.
    EXPECT_FALSE(InstallationNeeded({true, L"  c:\\temp\\TARVOUNINSTALLER.EXE ", L"9.9.9.9"}, running, L"1.0.0.0"));
    EXPECT_FALSE(InstallationNeeded({true, L"C:\\Temp\\TarvoUninstaller.exe", L""}, running, L"3.0.0.1"));
    // Another copy without a version: update it.
    EXPECT_TRUE(InstallationNeeded({true, L"C:\\P\\TarvoUninstaller.exe", L""}, running, L"3.0.0.1"));
    EXPECT_TRUE(InstallationNeeded({true, L"C:\\P\\TarvoUninstaller.exe", L"2.9.9.9"}, running, L"3.0.0.1"));
    EXPECT_FALSE(InstallationNeeded({true, L"C:\\P\\TarvoUninstaller.exe", L"3.0.0.0"}, running, L"3.0.0.1"));
}

TEST(InstallationNeeded, ReadsLocationAndVersionFromTheUninstallKey) {
    tarvo::test::ScratchKey scratch(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    scratch.SetString(L"TarvoUninstall", L"InstallLocation", L"C:\\Program Files\\Tarvo\\TarvoUninstaller.exe");
    scratch.SetString(L"TarvoUninstall", L"DisplayVersion", L"5.1.2.600");

    const InstalledCopy copy = ReadInstalledCopy(HKEY_CURRENT_USER, scratch.PathOf(L"TarvoUninstall"));
    EXPECT_TRUE(copy.keyOpens);
    EXPECT_EQ(copy.installLocation, L"C:\\Program Files\\Tarvo\\TarvoUninstaller.exe");
    EXPECT_EQ(copy.displayVersion, L"5.1.2.600");
    EXPECT_FALSE(InstallationNeeded(copy, L"C:\\Temp\\TarvoUninstaller.exe", L"5.1.1.900"));
    EXPECT_TRUE(InstallationNeeded(copy, L"C:\\Temp\\TarvoUninstaller.exe", L"4.9.0.0"));

    const InstalledCopy missing = ReadInstalledCopy(HKEY_CURRENT_USER, scratch.PathOf(L"NoSuchKey"));
    EXPECT_FALSE(missing.keyOpens);
    EXPECT_TRUE(InstallationNeeded(missing, L"C:\\Temp\\TarvoUninstaller.exe", L"4.9.0.0"));
}
