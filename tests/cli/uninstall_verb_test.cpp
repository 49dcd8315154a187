// `tarvo uninstall`: finding the one entry meant, and the real tarvo.exe running a real NSIS
// uninstaller, a missing one and a name that matches nothing.
#include <gtest/gtest.h>

#include <chrono>

#include "cli/uninstall_verb.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "settings/text_file.h"
#include "support/uninstall_fixture.h"
#include "uninstall/operation_log.h"

using namespace tarvo::cli;
using tarvo::inventory::TSoftInfo;
using tarvo::inventory::TSoftList;

namespace {

std::wstring Beside(const std::wstring& name) {
    std::wstring folder = tarvo::platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + name;
}

std::optional<tarvo::platform::CapturedRun> Tarvo(const std::wstring& arguments) {
    return tarvo::platform::RunCaptured(L"\"" + Beside(L"tarvo.exe") + L"\" " + arguments);
}

std::wstring TodaysLog() {
    const std::wstring path = tarvo::uninstall::LogFolderOf(tarvo::settings::DataFolder()) + L"\\" +
                              tarvo::uninstall::DayLogFileName(tarvo::platform::LocalTimeNow());
    return tarvo::settings::ReadTextFile(path).value_or(L"");
}

class AnsweringOutput final : public CliOutput {
public:
    std::wstring out, err;
    std::optional<std::wstring> answer;
    void Out(std::wstring_view text) override { out += text; }
    void OutUtf8(std::string_view) override {}
    void Err(std::wstring_view text) override { err += text; }
    std::optional<std::wstring> ReadLine() override { return answer; }
};

}  // namespace

TEST(UninstallTarget, ByShownNameExactlyOrByKeyInAnyForm) {
    TSoftList list;
    auto add = [&list](std::wstring name, std::wstring root, std::wstring key, bool hidden) {
        auto e = std::make_unique<TSoftInfo>();
        e->DisplayName = std::move(name);
        e->RootKeyName = std::move(root);
        e->KeyPath = std::move(key);
        e->Hidden = hidden;
        list.push_back(std::move(e));
        return list.back().get();
    };
    const TSoftInfo* hiddenTwin = add(L"Alpha", L"HKEY_LOCAL_MACHINE", L"\\SOFTWARE\\U\\Alpha64", true);
    const TSoftInfo* alpha = add(L"Alpha", L"HKEY_LOCAL_MACHINE", L"\\SOFTWARE\\U\\Alpha", false);
    const TSoftInfo* user = add(L"Bravo", L"HKEY_CURRENT_USER", L"\\SOFTWARE\\U\\{B-1}", false);
    const struct {
        const wchar_t* target;
        const TSoftInfo* expected;
    } cases[] = {
        {L"Alpha", alpha},
        {L"alpha", nullptr},  // names are exact
        {L"Alph", nullptr},
        {L"", nullptr},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\U\\Alpha64", hiddenTwin},
        {L"hklm\\software\\u\\alpha", alpha},
        {L"HKCU\\SOFTWARE\\U\\{b-1}", user},
        {L"HKEY_CURRENT_USER\\SOFTWARE\\U\\{B-1}\\", nullptr},
    };
    for (const auto& c : cases) EXPECT_EQ(FindUninstallTarget(list, c.target), c.expected) << c.target;
}

TEST(TarvoExe, UninstallRunsARealNsisUninstallerToItsEnd) {
    const std::wstring name = L"Tarvo Slowpoke Console";
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name;
    const auto setup = tarvo::platform::CreateProcessOf(L"\"" + Beside(L"slowpoke_console_setup.exe") + L"\" /S");
    ASSERT_TRUE(setup);
    ASSERT_EQ(tarvo::platform::WaitForExitCode(setup->process.get(), 60000), 0u);
    tarvo::platform::RegistryKey installed;
    ASSERT_EQ(installed.Open(HKEY_LOCAL_MACHINE, key), ERROR_SUCCESS);
    const std::wstring folder = installed.QueryString(L"InstallLocation").value_or(L"");
    ASSERT_TRUE(tarvo::platform::FileExists(folder + L"\\payload.exe"));

    const auto start = std::chrono::steady_clock::now();
    const auto run = Tarvo(L"uninstall \"" + name + L"\" --yes");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 0u) << run->error;
    EXPECT_GE(elapsed, std::chrono::milliseconds(4000)) << "returned before the uninstaller's copy ended";
    EXPECT_FALSE(tarvo::platform::FolderExists(folder));
    EXPECT_FALSE(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, key, tarvo::platform::RegistryView::Default));
    EXPECT_NE(TodaysLog().find(L"[" + name + L"]\r\nDate:"), std::wstring::npos);
}

TEST(TarvoExe, UninstallReportsMissingProgramsAndUnstartableUninstallers) {
    const auto none = Tarvo(L"uninstall \"No Such Program Anywhere\" --yes");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->exitCode, 3u);

    using tarvo::platform::RegistryView;
    tarvo::test::UninstallFixture broken(HKEY_LOCAL_MACHINE, RegistryView::Default);
    const std::wstring name = L"Broken Uninstaller " + broken.keyName();
    broken.Set(L"DisplayName", name).Set(L"UninstallString", L"\"C:\\nowhere\\uninst.exe\"");
    const auto byKey = Tarvo(L"uninstall \"HKLM" + broken.KeyPath() + L"\" --yes");
    ASSERT_TRUE(byKey);
    EXPECT_EQ(byKey->exitCode, 4u) << byKey->error;
    EXPECT_NE(TodaysLog().find(L"[" + name + L"]\r\n"), std::wstring::npos) << "logged although it did not start";

    // Without --yes only "y" runs it: no answer, or any other, leaves it alone.
    for (const auto& [answer, code] : {std::pair{std::optional<std::wstring>{}, kExitFailure},
                                       std::pair{std::optional<std::wstring>{L"n"}, kExitFailure},
                                       std::pair{std::optional<std::wstring>{L"y"}, kExitNotStarted}}) {
        AnsweringOutput out;
        out.answer = answer;
        const std::vector<std::wstring> args{L"uninstall", name};
        EXPECT_EQ(RunCli(args, out), code);
        EXPECT_EQ(out.out.rfind(L"Uninstall " + name + L"? [y/N] ", 0), 0u) << out.out;
    }

    const auto usage = Tarvo(L"uninstall");
    ASSERT_TRUE(usage);
    EXPECT_EQ(usage->exitCode, 2u);
}
