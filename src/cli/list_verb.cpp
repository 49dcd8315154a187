#include "cli/list_verb.h"

#include <nlohmann/json.hpp>

#include "common/date_time.h"
#include "platform/text.h"

namespace tarvo::cli {

namespace {

using inventory::TDateTime;
using inventory::TSoftInfo;
using nlohmann::ordered_json;

const char* const kUseRangeNames[] = {"audUnknown", "audToday", "aud3Day",   "audWeek", "aud2Week",
                                      "audMonth",   "aud2Month", "aud3Month", "audMore"};
const char* const kUseRateNames[] = {"aurUnknown", "aurOften", "aurLess", "aurRarely"};

std::string Utf8(const std::wstring& text) { return platform::Utf8FromWide(text); }

ordered_json Date(TDateTime value) {
    if (value == 0) return nullptr;
    const std::wstring text = common::IsoLocalDateTime(value);
    return text.empty() ? ordered_json(nullptr) : ordered_json(Utf8(text));
}

template <std::size_t N>
ordered_json EnumName(unsigned value, const char* const (&names)[N]) {
    return value < N ? ordered_json(names[value]) : ordered_json(value);
}

ordered_json EntryJson(const TSoftInfo& e) {
    ordered_json o;
    o["DisplayName"] = Utf8(e.DisplayName);
    o["HelpLink"] = Utf8(e.HelpLink);
    o["Publisher"] = Utf8(e.Publisher);
    o["DisplayVersion"] = Utf8(e.DisplayVersion);
    o["URLInfoAbout"] = Utf8(e.URLInfoAbout);
    o["URLUpdateInfo"] = Utf8(e.URLUpdateInfo);
    o["InstallDateText"] = Utf8(e.InstallDateText);
    o["SizeText"] = Utf8(e.SizeText);
    o["RootKeyName"] = Utf8(e.RootKeyName);
    o["KeyPath"] = Utf8(e.KeyPath);
    o["UninstallString"] = Utf8(e.UninstallString);
    o["DisplayIcon"] = Utf8(e.DisplayIcon);
    o["InstallLocation"] = Utf8(e.InstallLocation);
    o["IconIndex"] = e.IconIndex;
    o["ImageIndex"] = e.ImageIndex;
    o["Size"] = e.Size;
    o["InstallDate"] = Date(e.InstallDate);
    o["LastAccessDate"] = Date(e.LastAccessDate);
    o["View64"] = e.View64;
    o["IsUpdate"] = e.IsUpdate;
    o["SpareFlag"] = e.SpareFlag;
    o["Hidden"] = e.Hidden;
    o["SystemComponent"] = e.SystemComponent;
    o["UseRange"] = EnumName(e.UseRange, kUseRangeNames);
    o["UseRate"] = EnumName(e.UseRate, kUseRateNames);
    o["LastUseTime"] = Date(e.LastUseTime);
    o["UseChecked"] = e.UseChecked;
    o["UseText"] = Utf8(e.UseText);
    o["IsToolbar"] = e.IsToolbar;
    o["ToolbarId"] = Utf8(e.ToolbarId);
    o["ToolbarKey"] = Utf8(e.ToolbarKey);
    o["ToolbarFile"] = Utf8(e.ToolbarFile);
    o["SpareText1"] = Utf8(e.SpareText1);
    o["SpareText2"] = Utf8(e.SpareText2);
    o["SpareText3"] = Utf8(e.SpareText3);
    o["Readme"] = Utf8(e.Readme);
    return o;
}

}  // namespace

std::wstring ListLines(const inventory::TSoftList& list, bool includeHidden) {
    std::wstring text;
    for (const auto& e : list) {
        if (e->Hidden && !includeHidden) continue;
        text += e->DisplayName + L'\t' + e->DisplayVersion + L'\t' + e->Publisher + L'\t' + e->SizeText + L'\t' +
                e->InstallDateText + L'\t' + e->RootKeyName + e->KeyPath;
        if (e->View64) text += L"\t64-bit";
        if (e->Hidden) text += L"\thidden";
        text += L"\r\n";
    }
    return text;
}

std::string ListJson(const inventory::TSoftList& list, bool includeHidden) {
    ordered_json array = ordered_json::array();
    for (const auto& e : list)
        if (!e->Hidden || includeHidden) array.push_back(EntryJson(*e));
    // Texts are valid UTF-8 already; replacing stays as a guard so output never aborts.
    return array.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

int RunListVerb(std::span<const std::wstring> args, CliOutput& out) {
    bool json = false, all = false;
    for (const auto& arg : args) {
        if (arg == L"--json")
            json = true;
        else if (arg == L"--all")
            all = true;
        else {
            out.Err(L"tarvo list: unknown option \"" + arg + L"\"\r\n");
            return kExitUsage;
        }
    }
    inventory::TSoftList list;
    inventory::Inventory(list);
    if (json)
        out.OutUtf8(ListJson(list, all));
    else
        out.Out(ListLines(list, all));
    return kExitOk;
}

}  // namespace tarvo::cli
