// The console companion: verb dispatch with a recording output, the list formats on known
// entries, and the real tarvo.exe run as a script would run it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstring>

#include "cli/cli.h"
#include "cli/list_verb.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/text.h"
#include "support/scratch_folder.h"
#include "support/uninstall_fixture.h"
#include "version.h"

using namespace tarvo::cli;
using tarvo::inventory::TSoftInfo;
using tarvo::inventory::TSoftList;

namespace {

class RecordingOutput final : public CliOutput {
public:
    std::wstring out, err;
    std::string utf8;
    void Out(std::wstring_view text) override { out += text; }
    void OutUtf8(std::string_view bytes) override { utf8 += bytes; }
    void Err(std::wstring_view text) override { err += text; }
};

int Dispatch(std::vector<std::wstring> args, RecordingOutput& out) { return RunCli(args, out); }

TSoftList TwoEntries() {
    TSoftList list;
    auto a = std::make_unique<TSoftInfo>();
    a->DisplayName = L"Caf\u00E9 \U0001F600";
    a->DisplayVersion = L"1.2";
    a->Publisher = L"Contoso \"Q\"";
    a->SizeText = L"1.00 KB";
    a->Size = 1024;
    a->RootKeyName = L"HKEY_LOCAL_MACHINE";
    a->KeyPath = L"\\SOFTWARE\\X\\A";
    a->InstallDate = 41406;
    a->View64 = true;
    auto b = std::make_unique<TSoftInfo>();
    b->DisplayName = L"Hidden one";
    b->Hidden = true;
    b->RootKeyName = L"HKEY_CURRENT_USER";
    b->KeyPath = L"\\SOFTWARE\\X\\B";
    list.push_back(std::move(a));
    list.push_back(std::move(b));
    return list;
}

}  // namespace

TEST(CliDispatch, BadArgumentsExitTwoWithUsageOnStderr) {
    const std::vector<std::vector<std::wstring>> bad = {{}, {L"nope"}, {L"list", L"--xml"}, {L"LIST"}};
    for (const auto& args : bad) {
        RecordingOutput out;
        EXPECT_EQ(Dispatch(args, out), kExitUsage);
        EXPECT_NE(out.err.find(L"Usage: tarvo"), std::wstring::npos);
        EXPECT_TRUE(out.out.empty() && out.utf8.empty());
    }
    RecordingOutput help;
    EXPECT_EQ(Dispatch({L"--help"}, help), kExitOk);
    EXPECT_NE(help.out.find(L"tarvo list [--json] [--all]"), std::wstring::npos);
    // Every verb and flag the README's console table lists.
    for (const wchar_t* word : {L"tarvo uninstall", L"tarvo scan", L"tarvo restore", L"tarvo logs", L"tarvo export",
                                L"tarvo archive", L"tarvo addons", L"tarvo browser-defaults", L"--yes", L"--quiet",
                                L"--scan", L"--delete", L"--shred", L"--folder", L"--pending", L"--policy", L"--restore",
                                L"archive extract"})
        EXPECT_NE(help.out.find(word), std::wstring::npos) << word;
}

TEST(ListFormats, LinesSkipHiddenUnlessAll) {
    const auto list = TwoEntries();
    EXPECT_EQ(ListLines(list, false),
              L"Caf\u00E9 \U0001F600\t1.2\tContoso \"Q\"\t1.00 KB\t\tHKEY_LOCAL_MACHINE\\SOFTWARE\\X\\A\t64-bit\r\n");
    EXPECT_NE(ListLines(list, true).find(L"Hidden one\t\t\t\t\tHKEY_CURRENT_USER\\SOFTWARE\\X\\B\thidden\r\n"),
              std::wstring::npos);
}

TEST(ListFormats, JsonCarriesEveryFieldInOrder) {
    const auto list = TwoEntries();
    const auto json = nlohmann::json::parse(ListJson(list, true));
    ASSERT_EQ(json.size(), 2u);
    const auto& a = json[0];
    EXPECT_EQ(a.size(), 36u);
    EXPECT_EQ(a["DisplayName"], "Caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(a["Publisher"], "Contoso \"Q\"");
    EXPECT_EQ(a["Size"], 1024);
    EXPECT_EQ(a["InstallDate"], "2013-05-12T00:00:00");
    EXPECT_TRUE(a["LastUseTime"].is_null());
    EXPECT_EQ(a["View64"], true);
    EXPECT_EQ(a["UseRange"], "audUnknown");
    EXPECT_EQ(a["UseRate"], "aurUnknown");
    EXPECT_EQ(json[1]["Hidden"], true);
    EXPECT_EQ(nlohmann::json::parse(ListJson(list, false)).size(), 1u);

    const auto ordered = nlohmann::ordered_json::parse(ListJson(list, false));
    const char* const firstKeys[] = {"DisplayName", "HelpLink", "Publisher", "DisplayVersion", "URLInfoAbout"};
    auto it = ordered[0].begin();
    for (const char* key : firstKeys) EXPECT_EQ((it++).key(), key);
    EXPECT_EQ((--ordered[0].end()).key(), "Readme");
}

TEST(TarvoExe, ListJsonShowsAFixtureWorld) {
    using tarvo::platform::RegistryView;
    tarvo::test::UninstallFixture native(HKEY_LOCAL_MACHINE, RegistryView::Wow64_64Key),
        redirected(HKEY_LOCAL_MACHINE, RegistryView::Default), user(HKEY_CURRENT_USER, RegistryView::Default);
    const std::wstring twin = L"Cli twin \u00E9 " + native.keyName();
    native.Set(L"DisplayName", twin).Set(L"UninstallString", L"C:\\t\\u.exe").Set(L"InstallDate", L"20130512");
    redirected.Set(L"DisplayName", twin).Set(L"UninstallString", L"C:\\t32\\u.exe");
    user.Set(L"DisplayName", L"Cli user " + user.keyName()).Set(L"UninstallString", L"C:\\u\\u.exe")
        .SetDword(L"EstimatedSize", 2);

    std::wstring folder = tarvo::platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    const auto run = tarvo::platform::RunCaptured(L"\"" + folder + L"tarvo.exe\" list --json");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 0u) << run->error;
    const auto json = nlohmann::json::parse(run->output);
    ASSERT_TRUE(json.is_array());

    int twins = 0, users = 0;
    for (const auto& e : json) {
        EXPECT_FALSE(e["Hidden"].get<bool>());
        const std::wstring name = tarvo::platform::WideFromUtf8(e["DisplayName"].get<std::string>());
        if (name == twin) {
            ++twins;
            EXPECT_EQ(e["View64"], false);
            EXPECT_EQ(e["RootKeyName"], "HKEY_LOCAL_MACHINE");
            EXPECT_EQ(e["InstallDate"], "2013-05-12T00:00:00");  // filled from the dropped twin
        } else if (name == L"Cli user " + user.keyName()) {
            ++users;
            EXPECT_EQ(e["Size"], 2048);
            EXPECT_TRUE(e["InstallDate"].is_null());
            EXPECT_TRUE(e["LastAccessDate"].is_string());
            EXPECT_EQ(tarvo::platform::WideFromUtf8(e["KeyPath"].get<std::string>()), user.KeyPath());
        }
    }
    EXPECT_EQ(twins, 1);
    EXPECT_EQ(users, 1);

    const auto all = tarvo::platform::RunCaptured(L"\"" + folder + L"tarvo.exe\" list --all --json");
    ASSERT_TRUE(all);
    EXPECT_GT(nlohmann::json::parse(all->output).size(), json.size());

    const auto bad = tarvo::platform::RunCaptured(L"\"" + folder + L"tarvo.exe\" list --bogus");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->exitCode, 2u);
    EXPECT_TRUE(bad->output.empty());
    EXPECT_NE(bad->error.find("Usage: tarvo"), std::string::npos);
}

TEST(TarvoExe, ExportNamesTheVersionOfTheProgram) {
    tarvo::test::ScratchFolder scratch;
    std::wstring folder = tarvo::platform::GetModuleFilePath();
    folder.resize(folder.rfind(L'\\') + 1);
    const std::wstring file = scratch.PathOf(L"list.txt");
    const auto run = tarvo::platform::RunCaptured(L"\"" + folder + L"tarvo.exe\" export \"" + file + L"\"");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 0u) << run->error;
    const auto bytes = tarvo::platform::ReadFileBytes(file);
    ASSERT_TRUE(bytes && bytes->size() > 2);
    std::wstring text((bytes->size() - 2) / 2, L'\0');
    std::memcpy(text.data(), bytes->data() + 2, text.size() * 2);
    const std::wstring expected = L"Application Version:" + tarvo::platform::WideFromUtf8(TARVO_VERSION_TEXT) + L"\r\n";
    EXPECT_NE(text.find(expected), std::wstring::npos) << text.substr(0, 200);
}

TEST(LogsVerb, ListsOnlyLogFilesOfTheNamedFolder) {
    tarvo::test::ScratchFolder folder;
    folder.MakeFile(L"2026-12-09.log", std::string(10, 'x'));
    folder.MakeFile(L"notes.txt", "x");
    folder.MakeFolder(L"old.log");
    RecordingOutput out;
    EXPECT_EQ(Dispatch({L"logs", folder.path()}, out), kExitOk);
    EXPECT_NE(out.out.find(L"2026-12-09.log"), std::wstring::npos);
    EXPECT_EQ(out.out.find(L"notes.txt"), std::wstring::npos);
    EXPECT_EQ(out.out.find(L"old.log"), std::wstring::npos);

    RecordingOutput empty;
    EXPECT_EQ(Dispatch({L"logs", folder.PathOf(L"missing")}, empty), kExitOk);
    EXPECT_NE(empty.out.find(L"No log files."), std::wstring::npos);
    RecordingOutput bad;
    EXPECT_EQ(Dispatch({L"logs", L"a", L"b"}, bad), kExitUsage);
}
