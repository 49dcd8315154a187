#pragma once
// The event codes the optional statistics library receives (the second argument of its
// DoStatistic). Each start path reports a pair: the start itself, then a follow-up.

namespace tarvo::settings::statistic {

inline constexpr wchar_t kProgramStart[] = L"0";
inline constexpr wchar_t kProgramStartFollowUp[] = L"3";
inline constexpr wchar_t kShellVerbStart[] = L"1";
inline constexpr wchar_t kShellVerbStartFollowUp[] = L"4";
inline constexpr wchar_t kControlPanelStart[] = L"2";
inline constexpr wchar_t kControlPanelStartFollowUp[] = L"5";
inline constexpr wchar_t kExplorerStart[] = L"15";
inline constexpr wchar_t kExplorerStartFollowUp[] = L"16";
// The round button below the main window: uninstall on the programs page, remove on the
// add-on page.
inline constexpr wchar_t kRoundButtonUninstall[] = L"9";
inline constexpr wchar_t kRoundButtonUninstallFollowUp[] = L"8";
inline constexpr wchar_t kRoundButtonRemove[] = L"10";
inline constexpr wchar_t kRoundButtonRemoveFollowUp[] = L"11";
// A leftover scan after an uninstall started.
inline constexpr wchar_t kLeftoverScan[] = L"13";
// A Powerful Scan removal run started.
inline constexpr wchar_t kPowerfulScanRun[] = L"14";

}  // namespace tarvo::settings::statistic
