// Chrome's Preferences at the size a long-used profile reaches: 5 MB with 300 extensions.
// The cleaner reads it (a full scan), switches one extension off and one plug-in off (each
// a rewrite of the whole file), beside a plain nlohmann/json read, parse, serialise and
// write of the same file. Best of five runs each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "addons/chrome_browser_cleaner.h"
#include "addons/chrome_preferences.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "support/bench_report.h"

using namespace tarvo;
using namespace tarvo::addons;

namespace {

std::string MakePreferences() {
    std::string text = R"({"browser":{"window_placement":{"left":10,"top":10,"zoom":1.25}},"extensions":{"settings":{)";
    for (int i = 0; i < 300; ++i) {
        const std::string id = "ext" + std::to_string(1000 + i) + std::string(23, 'a');
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about long chains of operator+.
        if (i) text += ',';
        text.append("\"").append(id).append("\":{\"state\":1,\"location\":1,\"path\":\"").append(id);
        text.append("\\\\1.0_0\",\"install_time\":\"13012345678901234\",\"manifest\":{\"name\":\"Extension ");
        text.append(std::to_string(i)).append(" \\u00e9\",\"version\":\"1.").append(std::to_string(i));
        text.append("\",\"description\":\"").append(10000, 'd').append("\",\"permissions\":[");
        for (int p = 0; p < 40; ++p) {
            if (p) text += ',';
            text.append("\"https://site").append(std::to_string(p)).append(".example/*\"");
        }
        text += "],\"content_scripts\":[";
        for (int c = 0; c < 50; ++c) {
            if (c) text += ',';
            text += R"({"js":["script.js","lib/jquery.js"],"matches":["<all_urls>"],"run_at":"document_end","all_frames":false,"weight":0.5})";
        }
        text += "]}}";
    }
    text += R"(}},"plugins":{"plugins_list":[{"enabled":true,"name":"Viewer","path":"internal-remoting-viewer","version":"1"}]}})";
    return text;
}

}  // namespace

int wmain() {
    const std::wstring folder = platform::GetTempFolder() + L"\\TarvoBenchChrome-" + platform::NewGuidText(false);
    CleanerEnvironment env;
    env.appDataFolder = folder + L"\\Roaming";
    env.localAppDataFolder = folder;
    (void)platform::CreateDirectoryOf(folder);
    (void)platform::CreateDirectoryOf(env.appDataFolder);
    std::wstring level = folder;
    for (const wchar_t* part : {L"\\Google", L"\\Chrome", L"\\User Data", L"\\Default", L"\\Extensions"}) {
        level += part;
        (void)platform::CreateDirectoryOf(level);
    }
    for (int i = 0; i < 300; ++i)
        (void)platform::CreateDirectoryOf(level + L"\\ext" + std::to_wstring(1000 + i) + std::wstring(23, L'a'));

    TChromeBrowserCleaner cleaner(env);
    const std::string preferences = MakePreferences();
    const std::wstring path = cleaner.PreferencesPath();
    double ours = 1e9, oursPlugin = 1e9, plain = 1e9, fileOnly = 1e9, scanOnly = 1e9;
    std::size_t listed = 0;
    for (int run = 0; run < 5; ++run) {
        (void)platform::WriteFileBytes(path, preferences);
        bench::Stopwatch plainWatch;
        {
            const auto bytes = platform::ReadFileBytes(path);
            const auto document = nlohmann::json::parse(*bytes);
            (void)platform::WriteFileBytes(path + L".plain", document.dump());
        }
        plain = std::min(plain, plainWatch.ElapsedSeconds());

        bench::Stopwatch fileWatch;
        {
            auto document = ReadPreferences(path);
            (void)SetExtensionStateIn(*document, L"ext1150", false);
            (void)ReplaceFileContent(path + L".ours", IndentedPreferences(*document));
        }
        fileOnly = std::min(fileOnly, fileWatch.ElapsedSeconds());

        cleaner.ClearItems(false);
        bench::Stopwatch watch;
        cleaner.ScanItems();
        scanOnly = std::min(scanOnly, watch.ElapsedSeconds());
        listed = cleaner.Items().size();
        (void)cleaner.RemoveItem(*cleaner.Items()[150]);
        ours = std::min(ours, watch.ElapsedSeconds());

        (void)platform::WriteFileBytes(path, preferences);
        cleaner.ClearItems(false);
        bench::Stopwatch pluginWatch;
        cleaner.ScanItems();
        (void)cleaner.RemoveItem(*cleaner.Items().back());
        oursPlugin = std::min(oursPlugin, pluginWatch.ElapsedSeconds());
    }
    std::printf("Preferences %.2f MB, %zu add-ons listed\n", static_cast<double>(preferences.size()) / 1048576.0, listed);
    std::printf("plain nlohmann read + parse + dump + write: %8.1f ms\n", plain * 1000);
    std::printf("read + parse + disable + indented write:    %8.1f ms, ratio %.2f\n", fileOnly * 1000, fileOnly / plain);
    std::printf("scan + disable one extension (compact):    %8.1f ms, ratio %.2f\n", ours * 1000, ours / plain);
    std::printf("  of which the scan:                       %8.1f ms, ratio %.2f\n", scanOnly * 1000, scanOnly / plain);
    std::printf("scan + disable one plug-in (indented):      %8.1f ms, ratio %.2f\n", oursPlugin * 1000, oursPlugin / plain);
    (void)platform::ShellDeleteFolderTree(folder);
    return 0;
}
