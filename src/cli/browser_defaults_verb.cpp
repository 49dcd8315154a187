#include "cli/browser_defaults_verb.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <vector>

#include "addons/browser_process.h"
#include "browserdefaults/explorer_set.h"
#include "language/language.h"
#include "common/paths.h"
#include "platform/folders.h"
#include "platform/sqlite_library.h"
#include "platform/text.h"
#include "uninstall/uninstall_stage.h"

namespace tarvo::cli {

namespace {

using browserdefaults::BrowserKind;

std::optional<BrowserKind> KindNamed(const std::wstring& name) {
    for (const BrowserKind kind : browserdefaults::kRestorableBrowsers)
        if (platform::EqualsIgnoreCase(name, addons::BrowserName(kind))) return kind;
    if (platform::EqualsIgnoreCase(name, L"Internet Explorer")) return BrowserKind::InternetExplorer;
    return std::nullopt;
}

struct Session {
    platform::SqliteLibrary sqlite;
    browserdefaults::RestoreEnvironment env;
    Session() {
        const std::wstring exe = platform::GetModuleFilePath();
        (void)sqlite.Load(common::FolderPart(exe) + L"sqlite3.dll");
        env = browserdefaults::RestoreEnvironment::ForThisProgram(sqlite.IsLoaded() ? &sqlite : nullptr);
    }
};

int Show(bool json, CliOutput& out) {
    Session session;
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    std::wstring table = L"browser\thome page\tsearch engine\r\n";
    for (const BrowserKind kind : browserdefaults::kRestorableBrowsers) {
        const auto set = browserdefaults::CreateExplorerSet(kind, session.env);
        if (!set->Found()) continue;
        std::wstring home = set->GetHomepage();
        if (home.empty()) home = L"about:blank";
        const std::wstring search = set->GetSearchEngine();
        if (json) {
            const auto u = [](const std::wstring& text) { return platform::Utf8FromWide(text); };
            rows.push_back({{"browser", u(addons::BrowserName(kind))}, {"homepage", u(home)}, {"search", u(search)}});
        } else {
            table += addons::BrowserName(kind) + L"\t" + home + L"\t" + search + L"\r\n";
        }
    }
    out.Out(json ? platform::WideFromUtf8(rows.dump(2)) + L"\r\n" : table);
    return kExitOk;
}

// A failure line in the user's language; what the console prints on success stays in the
// fixed words scripts read.
std::wstring Said(const wchar_t* key, const wchar_t* english, const std::wstring& name) {
    return uninstall::FormatMessagePattern(language::GetText(key, english), {name});
}

int Restore(std::span<const std::wstring> names, CliOutput& out) {
    std::vector<BrowserKind> kinds;
    for (const std::wstring& name : names) {
        const auto kind = KindNamed(name);
        if (!kind) {
            out.Err(L"tarvo: no restore for a browser called \"" + name + L"\" (IE, Chrome, Firefox, Opera, Edge, Brave, Vivaldi, Chromium)\r\n");
            return kExitUsage;
        }
        kinds.push_back(*kind);
    }
    Session session;
    std::wstring failed;
    for (const BrowserKind kind : kinds) {
        const std::wstring name = addons::BrowserName(kind);
        // The console never closes a browser behind its user's back: a running one would
        // write its own settings over ours when it exits anyway.
        if (addons::IsBrowserRunning(kind)) {
            out.Err(L"tarvo: " + Said(L"Cli_BrowserRunning_M", L"%s is running; close it and try again", name) + L"\r\n");
            failed += (failed.empty() ? L"" : L", ") + name;
            continue;
        }
        const auto set = browserdefaults::CreateExplorerSet(kind, session.env);
        const bool restored = set->SetHomepage() && set->RestSearchToDefault();
        out.Out((restored ? L"restored: " + name : Said(L"Cli_NotRestored_M", L"could not restore: %s", name)) + L"\r\n");
        if (!restored) failed += (failed.empty() ? L"" : L", ") + name;
    }
    if (failed.empty()) return kExitOk;
    out.Err(L"tarvo: " + Said(L"Cli_Failed_M", L"failed: %s", failed) + L"\r\n");
    return kExitFailure;
}

}  // namespace

int RunBrowserDefaultsVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (args.empty()) return Show(false, out);
    if (args.size() == 1 && args[0] == L"--json") return Show(true, out);
    if (args[0] == L"--restore" && args.size() > 1) return Restore(args.subspan(1), out);
    return kExitUsage;
}

}  // namespace tarvo::cli
