// `tarvo scan --folder … --delete` and `tarvo restore` as a script runs them: the real
// tarvo.exe, its exit codes, and the backup it leaves.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/uninstall_fixture.h"

namespace {

std::wstring TarvoExe() {
    std::wstring folder = tarvo::platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    return L"\"" + folder + L"tarvo.exe\"";
}

bool Exists(const std::wstring& path) {
    return tarvo::platform::GetFileAttributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

// The folder after "Backup: " in the verb's output.
std::wstring BackupOf(const std::string& output) {
    const auto at = output.find("Backup: ");
    if (at == std::string::npos) return {};
    const auto end = output.find_first_of("\r\n", at);
    return tarvo::platform::WideFromUtf8(output.substr(at + 8, end - at - 8));
}

}  // namespace

TEST(TarvoScanDelete, RemovesEverythingBacksItUpAndRestoreBringsItBack) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\a.dll", "abcd");
    scratch.MakeFile(L"Prog\\data\\b.ini", "[x]");

    const auto run = tarvo::platform::RunCaptured(TarvoExe() + L" scan --folder \"" + program + L"\" --delete");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 0u) << run->output << run->error;
    EXPECT_NE(run->output.find("File(4 items)"), std::string::npos) << run->output;  // printed before removal
    EXPECT_FALSE(Exists(program));
    const std::wstring backup = BackupOf(run->output);
    ASSERT_FALSE(backup.empty()) << run->output;

    const auto restore = tarvo::platform::RunCaptured(TarvoExe() + L" restore \"" + backup + L"\"");
    ASSERT_TRUE(restore);
    EXPECT_EQ(restore->exitCode, 0u) << restore->output << restore->error;
    EXPECT_EQ(tarvo::platform::ReadFileBytes(program + L"\\a.dll").value_or(""), "abcd");
    EXPECT_EQ(tarvo::platform::ReadFileBytes(program + L"\\data\\b.ini").value_or(""), "[x]");

    const auto missing = tarvo::platform::RunCaptured(TarvoExe() + L" restore \"" + scratch.PathOf(L"nothing") + L"\"");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->exitCode, 1u);
}

TEST(TarvoScanDelete, AFileInUseMakesExitFiveAndShredNeedsDelete) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Busy");
    const std::wstring busy = scratch.MakeFile(L"Busy\\running.exe", "MZ");
    scratch.MakeFile(L"Busy\\free.txt", "free");
    HANDLE held = ::CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto run =
        tarvo::platform::RunCaptured(TarvoExe() + L" scan --folder \"" + program + L"\" --delete --shred");
    ::CloseHandle(held);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 5u) << run->output << run->error;
    EXPECT_TRUE(Exists(busy));
    EXPECT_FALSE(Exists(program + L"\\free.txt"));

    const auto usage = tarvo::platform::RunCaptured(TarvoExe() + L" scan --folder \"" + program + L"\" --shred");
    ASSERT_TRUE(usage);
    EXPECT_EQ(usage->exitCode, 2u);
}

TEST(TarvoScanDelete, AnotherProgramInsideTheFolderIsLeftAloneAndSaidSo) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring suite = scratch.MakeFolder(L"Suite");
    const std::wstring own = scratch.MakeFile(L"Suite\\suite.txt", "s");
    const std::wstring tool = scratch.MakeFile(L"Suite\\Tool\\tool.exe", "t");
    tarvo::test::UninstallFixture suiteEntry(HKEY_CURRENT_USER, tarvo::platform::RegistryView::Default);
    tarvo::test::UninstallFixture toolEntry(HKEY_CURRENT_USER, tarvo::platform::RegistryView::Default);
    const std::wstring name = L"Suite " + suiteEntry.keyName();
    suiteEntry.Set(L"DisplayName", name).Set(L"InstallLocation", suite).Set(L"UninstallString", suite + L"\\u.exe");
    toolEntry.Set(L"DisplayName", L"Tool " + toolEntry.keyName())
        .Set(L"InstallLocation", scratch.PathOf(L"Suite\\Tool"))
        .Set(L"UninstallString", scratch.PathOf(L"Suite\\Tool\\u.exe"));

    const auto run = tarvo::platform::RunCaptured(TarvoExe() + L" scan \"" + name + L"\" --delete");
    ASSERT_TRUE(run);
    std::wstring lower = scratch.PathOf(L"Suite\\");
    for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
    const std::string folder = tarvo::platform::Utf8FromWide(lower);
    EXPECT_NE(run->output.find("Left alone: " + folder + " (holds another program's folder)"), std::string::npos);
    EXPECT_NE(run->output.find("Left alone: " + folder + "Tool (belongs to another program)"), std::string::npos)
        << run->output;
    EXPECT_FALSE(Exists(own));
    EXPECT_TRUE(Exists(tool));
}
