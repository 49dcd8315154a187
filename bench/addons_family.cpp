// Edge in the layout of a long-used installation: four profiles named by Local State, each
// with 150 extensions split over Preferences and Secure Preferences (2 MB in all), the same
// extensions in every profile. The family cleaner's scan beside a plain read and parse of
// the same eight files into the JSON type the add-on code uses, with the scan's registry and
// file calls. Best of five runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "addons/chromium_family.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "support/bench_report.h"

using namespace tarvo;
using namespace tarvo::addons;

namespace {

constexpr int kExtensions = 150;
const wchar_t* const kProfiles[] = {L"Default", L"Profile 1", L"Profile 2", L"Profile 3"};

std::string IdOf(int i) { return "ext" + std::to_string(1000 + i) + std::string(25, 'a'); }

// Preferences holds each entry's path and manifest, Secure Preferences its state, as today's
// browsers split them.
std::string MakeSettings(bool secure) {
    std::string text = R"({"extensions":{"settings":{)";
    for (int i = 0; i < kExtensions; ++i) {
        if (i) text += ',';
        text.append("\"").append(IdOf(i)).append("\":{");
        if (secure) {
            text.append("\"disable_reasons\":[],\"location\":1,\"install_time\":\"13312345678901234\"}");
            continue;
        }
        text.append("\"path\":\"").append(IdOf(i)).append("\\\\1.0_0\",\"manifest\":{\"name\":\"Extension ");
        // Descriptions are at most 132 characters; the bulk of a manifest is its lists.
        text.append(std::to_string(i)).append("\",\"version\":\"1.0\",\"description\":\"").append(132, 'd');
        text.append("\",\"permissions\":[");
        for (int p = 0; p < 60; ++p) text.append(p ? ",\"" : "\"").append("https://site").append(std::to_string(p)).append(".example/*\"");
        text.append("],\"content_scripts\":[");
        for (int c = 0; c < 20; ++c)
            text.append(c ? "," : "").append(R"({"js":["script.js","lib/jquery.js"],"matches":["<all_urls>"],"run_at":"document_end"})");
        text.append("]}}");
    }
    return text + "}}}";
}

}  // namespace

int wmain() {
    const std::wstring folder = platform::GetTempFolder() + L"\\TarvoBenchFamily-" + platform::NewGuidText(false);
    CleanerEnvironment env;
    env.localAppDataFolder = folder;
    std::wstring data = folder;
    for (const wchar_t* part : {L"", L"\\Microsoft", L"\\Edge", L"\\User Data"}) {
        data += part;
        (void)platform::CreateDirectoryOf(data);
    }
    data += L"\\";
    std::string localState = R"({"profile":{"info_cache":{)";
    const std::string preferences = MakeSettings(false), secure = MakeSettings(true);
    for (const wchar_t* profile : kProfiles) {
        const std::wstring root = data + profile;
        (void)platform::CreateDirectoryOf(root);
        (void)platform::CreateDirectoryOf(root + L"\\Extensions");
        for (int i = 0; i < kExtensions; ++i) {
            const std::wstring id = platform::WideFromUtf8(IdOf(i));
            (void)platform::CreateDirectoryOf(root + L"\\Extensions\\" + id);
        }
        (void)platform::WriteFileBytes(root + L"\\Preferences", preferences);
        (void)platform::WriteFileBytes(root + L"\\Secure Preferences", secure);
        if (localState.back() != '{') localState += ',';
        localState.append("\"").append(platform::Utf8FromWide(profile)).append("\":{}");
    }
    (void)platform::WriteFileBytes(data + L"Local State", localState + "}}}");

    auto browsers = FindChromiumBrowsers(env);
    if (browsers.empty()) return 1;
    ChromiumFamilyCleaner cleaner(env, browsers.front());
    double ours = 1e9, plain = 1e9;
    for (int run = 0; run < 5; ++run) {
        bench::Stopwatch plainWatch;
        for (const wchar_t* profile : kProfiles)
            for (const wchar_t* file : {L"\\Preferences", L"\\Secure Preferences"}) {
                const auto bytes = platform::ReadFileBytes(data + profile + file);
                const auto document = nlohmann::ordered_json::parse(*bytes);
                if (document.is_null()) return 1;
            }
        plain = std::min(plain, plainWatch.ElapsedSeconds());

        cleaner.ClearItems(false);
        platform::CallCounter::Reset();
        bench::Stopwatch watch;
        cleaner.ScanItems();
        ours = std::min(ours, watch.ElapsedSeconds());
    }
    std::printf("%d profiles x %d extensions, %.2f MB of settings, %zu items listed\n", 4, kExtensions,
                4.0 * static_cast<double>(preferences.size() + secure.size()) / 1048576.0, cleaner.Items().size());
    std::printf("plain nlohmann read + parse of the 8 files: %8.1f ms\n", plain * 1000);
    std::printf("family scan (both files, every profile):   %8.1f ms, ratio %.2f\n", ours * 1000, ours / plain);
    bench::PrintCallCounts("calls of the last scan");
    (void)platform::ShellDeleteFolderTree(folder);
    return 0;
}
