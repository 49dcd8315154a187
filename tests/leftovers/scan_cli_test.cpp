// `tarvo scan` as a script runs it: the real tarvo.exe on a fixture program, its JSON
// findings, the tree text, and the exit codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <map>

#include "cli/scan_verb.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/uninstall_fixture.h"

using tarvo::platform::RegistryView;
using tarvo::platform::Utf8FromWide;

namespace {

std::wstring TarvoExe() {
    std::wstring folder = tarvo::platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    return L"\"" + folder + L"tarvo.exe\"";
}

std::string Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
    return Utf8FromWide(text);
}

}  // namespace

TEST(TarvoScan, JsonFindingsOfAFixtureProgram) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\a.dll", "abcd");
    tarvo::test::UninstallFixture fixture(HKEY_CURRENT_USER, RegistryView::Default);
    const std::wstring name = L"Scan cli " + fixture.keyName();
    fixture.Set(L"DisplayName", name).Set(L"InstallLocation", program).Set(L"UninstallString", program + L"\\u.exe");

    const auto run = tarvo::platform::RunCaptured(TarvoExe() + L" scan \"" + name + L"\" --json");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 0u) << run->error;
    const auto json = nlohmann::ordered_json::parse(run->output);
    ASSERT_EQ(json.size(), 6u);
    const std::string key = Utf8FromWide(fixture.KeyPath().substr(1));
    const nlohmann::ordered_json expectedKey = {{"kind", "registry"}, {"root", "HKEY_CURRENT_USER"}, {"key", key},
                                                {"valueName", ""},    {"valueData", ""},             {"path", nullptr},
                                                {"size", nullptr},    {"fileKind", nullptr}};
    EXPECT_EQ(json[0], expectedKey);
    std::map<std::string, std::string> values;
    for (int i = 1; i <= 3; ++i) values[json[i]["valueName"].get<std::string>()] = json[i]["valueData"].get<std::string>();
    EXPECT_EQ(values.size(), 3u);
    EXPECT_EQ(values["DisplayName"], Utf8FromWide(name));
    EXPECT_EQ(values["InstallLocation"], Utf8FromWide(program));
    EXPECT_EQ(json[4]["kind"], "file");
    EXPECT_EQ(json[4]["path"], Lower(program) + "\\");
    EXPECT_EQ(json[4]["fileKind"], "folder");
    EXPECT_TRUE(json[4]["root"].is_null());
    EXPECT_EQ(json[5]["path"], Lower(program) + "\\a.dll");
    EXPECT_EQ(json[5]["size"], 4);
    EXPECT_EQ(json[5]["fileKind"], "file");

    // By key, as text: the tree with its captions.
    const auto text = tarvo::platform::RunCaptured(TarvoExe() + L" scan HKEY_CURRENT_USER" + fixture.KeyPath());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->exitCode, 0u);
    const std::string expectedStart = Utf8FromWide(name) + "(6 items)\r\n  Registry(4 items)\r\n    HKEY_CURRENT_USER\\" + key +
                                      "\r\n";
    EXPECT_EQ(text->output.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(text->output.find("\r\n  File(2 items)\r\n    " + Lower(program) + "\\\r\n"), std::string::npos);
}

TEST(TarvoScan, ExitCodesForNothingFoundUnknownAndBadArguments) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\x.txt", "x");

    const auto folder = tarvo::platform::RunCaptured(TarvoExe() + L" scan --folder \"" + program + L"\" --json");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->exitCode, 0u);
    EXPECT_EQ(nlohmann::json::parse(folder->output).size(), 2u);

    // A reserved folder is never scanned: nothing found.
    const auto windows =
        tarvo::platform::RunCaptured(TarvoExe() + L" scan --folder \"" + tarvo::platform::GetWindowsFolder() + L"\"");
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->exitCode, 1u);
    EXPECT_EQ(windows->output, "No left items found.\r\n");

    const auto unknown = tarvo::platform::RunCaptured(TarvoExe() + L" scan \"No such program 8c1f\" --json");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->exitCode, 3u);
    EXPECT_TRUE(unknown->output.empty());

    for (const wchar_t* args : {L" scan", L" scan --bogus", L" scan a b"}) {
        const auto bad = tarvo::platform::RunCaptured(TarvoExe() + args);
        ASSERT_TRUE(bad);
        EXPECT_EQ(bad->exitCode, 2u) << args;
        EXPECT_NE(bad->error.find("tarvo scan NAME|KEY|--folder PATH|--pending [--json]"), std::string::npos);
    }
}
