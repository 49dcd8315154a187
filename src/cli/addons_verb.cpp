#include "cli/addons_verb.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <set>
#include <vector>

#include "addons/all_browser_cleaner.h"
#include "addons/browser_cleaners.h"
#include "addons/browser_process.h"
#include "addons/ff_browser_cleaner.h"
#include "common/paths.h"
#include "online/score_db_source.h"
#include "platform/folders.h"
#include "platform/sqlite_library.h"
#include "platform/text.h"

namespace tarvo::cli {

namespace {

using namespace tarvo::addons;

const wchar_t* KindName(AddonKind kind) {
    switch (kind) {
        case AddonKind::Extension: return L"extension";
        case AddonKind::Plugin: return L"plug-in";
        case AddonKind::Toolbar: return L"toolbar";
        case AddonKind::BrowserHelperObject: return L"BHO";
        case AddonKind::ActiveX: return L"ActiveX";
        default: return L"";
    }
}

std::wstring BrowsersText(const std::set<BrowserKind>& browsers) {
    std::wstring text;
    for (const BrowserKind browser : browsers) text += (text.empty() ? L"" : L",") + BrowserName(browser);
    return text;
}

// The page's setting-up: the cleaners, one enumeration each, the merged view.
struct AddonSession {
    platform::SqliteLibrary sqlite;
    online::TScoreDBHelper scores;  // ScoreBase.dbd beside the installed or the running program
    online::ScoreDbSource scoreSource{scores};
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
    TAllBrowserCleaner all;

    AddonSession() {
        const std::wstring exe = platform::GetModuleFilePath();
        (void)sqlite.Load(common::FolderPart(exe) + L"sqlite3.dll");
        (void)scores.Load();
        cleaners = MakeBrowserCleaners(CleanerEnvironment::OfThisUser(&sqlite));
        for (auto& cleaner : cleaners) {
            cleaner->ScoreDB = &scoreSource;
            cleaner->ClearItems(false);
            cleaner->Scan();
            all.AddCleaner(*cleaner);
        }
        all.BuildMergedList();
    }
};

int List(bool json, CliOutput& out) {
    AddonSession session;
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    std::wstring table = L"browser\tkind\tcaption\tpublisher\tversion\tid\tpath\ttrust\tscore\tpolicy\titem\r\n";
    for (std::int32_t i = 0; i < session.all.MergedCount(); ++i) {
        const TPluginItem& item = *session.all.MergedItem(i);
        const std::wstring browsers = BrowsersText(session.all.BrowsersOf(item));
        const std::wstring path = item.Paths.empty() ? std::wstring() : item.Paths.front();
        const std::wstring trust = item.Trust == kTrusted ? L"trusted" : L"remove";
        const std::wstring policy = item.BlockedByPolicy ? L"blocked" : L"";
        if (json) {
            const auto u = [](const std::wstring& text) { return platform::Utf8FromWide(text); };
            rows.push_back({{"browser", u(browsers)}, {"kind", u(KindName(item.Collection.AddonKind))},
                            {"caption", u(item.Caption)}, {"publisher", u(item.Publisher)},
                            {"version", u(item.Version)}, {"id", u(item.Id)}, {"path", u(path)},
                            {"trust", u(trust)}, {"score", item.Score}, {"blocked", item.BlockedByPolicy},
                            {"itemId", u(item.ItemId)}});
        } else {
            table += browsers + L"\t" + KindName(item.Collection.AddonKind) + L"\t" + item.Caption + L"\t" +
                     item.Publisher + L"\t" + item.Version + L"\t" + item.Id + L"\t" + path + L"\t" + trust +
                     L"\t" + std::to_wstring(item.Score) + L"\t" + policy + L"\t" + item.ItemId + L"\r\n";
        }
    }
    out.Out(json ? platform::WideFromUtf8(rows.dump(2)) + L"\r\n" : table);
    return kExitOk;
}

int Remove(std::span<const std::wstring> ids, bool byPolicy, CliOutput& out) {
    AddonSession session;
    for (auto& cleaner : session.cleaners)
        if (auto* firefox = dynamic_cast<TFFBrowserCleaner*>(cleaner.get())) firefox->switchOffByPolicy = byPolicy;
    std::set<std::wstring> failed;
    std::size_t removed = 0;
    for (auto& cleaner : session.cleaners)
        cleaner->OnOperation = [&](TCustomBrowserCleaner&, TPluginItem* item, bool ok, std::int32_t op) {
            if (op != opRemove || !item) return;
            out.Out((ok ? L"switched off: " : L"could not switch off: ") + item->Caption + L" (" +
                    BrowserName(item->Browser) + L")\r\n");
            if (ok) ++removed; else failed.insert(item->Id);
        };
    // An item's own id is new with every enumeration; the browser's id of the add-on (an
    // extension id, a CLSID, a plug-in file) is what a script can name from one run to the next.
    std::vector<std::wstring> named(ids.begin(), ids.end());
    for (const auto& cleaner : session.cleaners)
        for (const auto& item : cleaner->Items())
            for (const std::wstring& id : ids)
                if (!item->ItemId.empty() && platform::UpperCase(item->ItemId) == platform::UpperCase(id))
                    named.push_back(item->Id);
    session.all.Remove(named);
    if (removed == 0 && failed.empty()) out.Err(L"tarvo: no add-on has such an id\r\n");
    return removed > 0 && failed.empty() ? kExitOk : kExitFailure;
}

}  // namespace

int RunAddonsVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (args.empty()) return List(false, out);
    if (args.size() == 1 && args[0] == L"--json") return List(true, out);
    if (args[0] == L"remove" && args.size() > 2 && args[1] == L"--policy") return Remove(args.subspan(2), true, out);
    if (args[0] == L"remove" && args.size() > 1) return Remove(args.subspan(1), false, out);
    return kExitUsage;
}

}  // namespace tarvo::cli
