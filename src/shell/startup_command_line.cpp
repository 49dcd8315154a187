#include "shell/startup_command_line.h"

#include <cwchar>

#include "common/text.h"
#include "settings/statistic_events.h"

namespace tarvo::shell {

namespace statistic = settings::statistic;

namespace {
bool EqualsIgnoringCase(const std::wstring& text, const wchar_t* word) {
    return ::_wcsicmp(text.c_str(), word) == 0;
}
}  // namespace

std::wstring Trimmed(const std::wstring& text) { return common::Trim(text); }

std::wstring TrimmedArgument(const Arguments& arguments, std::size_t index) {
    return index < arguments.size() ? Trimmed(arguments[index]) : std::wstring();
}

HandOffWord ParseHandOffWord(const Arguments& arguments) {
    const std::wstring first = TrimmedArgument(arguments, 0);
    if (EqualsIgnoringCase(first, L"ShellVerb")) return HandOffWord::ShellVerb;
    if (EqualsIgnoringCase(first, L"control_statistics")) return HandOffWord::ControlStatistics;
    if (EqualsIgnoringCase(first, L"explorer_statistics")) return HandOffWord::ExplorerStatistics;
    return HandOffWord::None;
}

SecondInstanceNotice SecondInstanceMessages(const Arguments& arguments) {
    SecondInstanceNotice notice;
    const std::wstring name = TrimmedArgument(arguments, 1);
    if (ParseHandOffWord(arguments) == HandOffWord::ControlStatistics && !name.empty())
        notice.copyDataText = name;
    return notice;
}

std::vector<BYTE> CopyDataPayload(const std::wstring& text) {
    // The receiver is told 2 x length + 8 bytes; the buffer holds exactly that many, so the
    // system never copies from beyond it.
    std::vector<BYTE> bytes(2 * text.size() + 8, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<unsigned>(text[i]);
        bytes[2 * i] = static_cast<BYTE>(unit & 0xFF);
        bytes[2 * i + 1] = static_cast<BYTE>(unit >> 8);
    }
    return bytes;
}

std::optional<std::wstring> TextFromCopyData(ULONG_PTR tag, const void* data, DWORD bytes) {
    if (tag != kCopyDataForcedUninstallTag) return std::nullopt;
    std::wstring text;
    if (data) {
        const auto* bytePtr = static_cast<const BYTE*>(data);
        for (DWORD i = 0; i + 1 < bytes; i += 2) {
            const auto unit = static_cast<wchar_t>(bytePtr[i] | (bytePtr[i + 1] << 8));
            if (unit == L'\0') break;
            text.push_back(unit);
        }
    }
    return Trimmed(text);
}

HandOffPlan PlanCommandLineHandOff(const Arguments& arguments) {
    HandOffPlan plan;
    plan.word = ParseHandOffWord(arguments);
    const std::wstring name = TrimmedArgument(arguments, 1);
    switch (plan.word) {
    case HandOffWord::None:
        break;
    case HandOffWord::ShellVerb:
        plan.statistics = {{statistic::kShellVerbStart, {7, 0, 0, 0}},
                           {statistic::kShellVerbStartFollowUp, {0, 0, 0, 0}}};
        plan.readShellVerbFile = true;
        break;
    case HandOffWord::ControlStatistics:
    case HandOffWord::ExplorerStatistics:
        plan.statistics = plan.word == HandOffWord::ControlStatistics
                              ? std::vector<StatisticEvent>{{statistic::kControlPanelStart, {7, 0, 0, 0}},
                                                            {statistic::kControlPanelStartFollowUp, {0, 0, 0, 0}}}
                              : std::vector<StatisticEvent>{{statistic::kExplorerStart, {7, 0, 0, 0}},
                                                            {statistic::kExplorerStartFollowUp, {0, 0, 0, 0}}};
        if (!name.empty()) plan.pendingForcedUninstallText = name;
        plan.removalHostArgument = arguments[0];
        break;
    }
    return plan;
}

}  // namespace tarvo::shell
