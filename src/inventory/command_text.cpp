#include "inventory/command_text.h"

#include <climits>

#include "common/paths.h"
#include "common/text.h"
#include "settings/path_macros.h"

namespace tarvo::inventory {

using common::Contains;
using common::LowerCase;
using common::ReplaceAll;
using common::StartsWith;
using common::Trim;
using common::UpperCase;
using common::WithTrailingBackslash;

namespace {

constexpr const wchar_t* kRundllWords[] = {L"RUNDLL.EXE", L"RUNDLL32.EXE", L"RUNDLL32", L"RUNDLL"};
constexpr const wchar_t* kDriverInstallers[] = {L"DPINST.EXE", L"DPINST32.EXE", L"DPINST64.EXE"};
constexpr const wchar_t* kExecutableExtensions[] = {L".exe", L".dll", L".ocx", L".sys", L".cpl",
                                                    L".bpl", L".cmd", L".vbs", L".ser", L".bin",
                                                    L".drv", L".bat", L".vxd"};
constexpr std::wstring_view kVbUninstaller = L"ST6UNST.EXE -N";

bool RundllWordApplies(const std::wstring& text, const std::wstring& word, RundllRemoval rule) {
    switch (rule) {
    case RundllRemoval::Anywhere:
        return Contains(text, word);
    case RundllRemoval::FirstOrAfterBlank: {
        if (StartsWith(text, word)) return true;
        const auto at = text.find(L' ' + word);
        return at != std::wstring::npos && at >= 1;
    }
    case RundllRemoval::FirstOrBlankAnywhere:
        return StartsWith(text, word) || Contains(text, L' ' + word);
    }
    return false;
}

}  // namespace

std::wstring CleanCommandText(const std::wstring& input, RundllRemoval rundll) {
    if (input.empty()) return {};
    std::wstring text = ReplaceAll(input, L"\"", L"");
    text = ReplaceAll(text, L"\\??\\", L"");
    text = ReplaceAll(text, L"\\\\", L"\\");
    text = settings::ExpandPathMacros(text);

    for (const wchar_t* word : kRundllWords)
        if (RundllWordApplies(text, word, rundll)) text = ReplaceAll(text, word, L"");

    if (const auto at = text.find(kVbUninstaller); at != std::wstring::npos)
        text = at + 15 < text.size() ? text.substr(at + 15) : std::wstring();

    for (const wchar_t* installer : kDriverInstallers) {
        if (!Contains(text, installer)) continue;
        // The package's .inf is the one file that names the driver; without both markers
        // there is nothing sound to cut, so the text stays.
        const auto argument = text.find(L"/U ");
        const auto inf = text.find(L".INF");
        if (argument != std::wstring::npos && inf != std::wstring::npos && inf + 4 > argument + 3)
            text = text.substr(argument + 3, inf + 4 - (argument + 3));
        break;
    }
    return Trim(text);
}

std::wstring CutAtExecutable(const std::wstring& text) {
    const std::wstring lower = LowerCase(text);
    std::size_t earliest = std::wstring::npos;
    for (const wchar_t* extension : kExecutableExtensions) {
        const auto at = lower.find(extension);
        if (at < earliest) earliest = at;
    }
    return earliest == std::wstring::npos ? text : text.substr(0, earliest + 4);
}

std::wstring MainFileText(const TSoftInfo& entry, bool preferToolbarFile) {
    std::wstring text = !entry.UninstallString.empty() && !IsToolbarMarker(entry.UninstallString)
                            ? UpperCase(entry.UninstallString)
                            : UpperCase(entry.DisplayIcon);
    if (Contains(text, L"MSIEXEC.EXE /")) text = entry.Readme;
    if (preferToolbarFile && entry.IsToolbar && !entry.ToolbarFile.empty()) text = entry.ToolbarFile;
    return text;
}

std::wstring PackedProductCode(const std::wstring& code) {
    if (code.size() != 38) return {};
    static constexpr int kOrder[] = {8,  7,  6,  5,  4,  3,  2,  1,  13, 12, 11, 10, 18, 17, 16, 15,
                                     21, 20, 23, 22, 26, 25, 28, 27, 30, 29, 32, 31, 34, 33, 36, 35};
    std::wstring packed;
    packed.reserve(32);
    for (int position : kOrder) packed.push_back(code[static_cast<std::size_t>(position)]);
    return packed;
}

int IconIndexFromText(const std::wstring& input) noexcept {
    const std::wstring text = Trim(input);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return 0;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return 0;
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) return 0;
    }
    if (negative) value = -value;
    return value > INT_MAX ? 0 : static_cast<int>(value);
}

std::wstring ExpandShellCommandMacros(const std::wstring& text, const std::wstring& windowsFolder,
                                      const std::wstring& systemFolder, const std::wstring& programFolder) {
    const std::wstring program = WithTrailingBackslash(programFolder);
    std::wstring result = ReplaceAll(text, L"%WINDOWS%", windowsFolder);
    result = ReplaceAll(result, L"%SYSTEM%", systemFolder);
    result = ReplaceAll(result, L"%APP%\\", program);
    return ReplaceAll(result, L"%APP%/", program);
}

}  // namespace tarvo::inventory
