#pragma once
// Where each window's control ids start, so no two windows of ours share one: a message
// that carries an id then names a single control wherever it ends up.

namespace tarvo::shell::control_ids {

inline constexpr int kMainWindow = 100;
inline constexpr int kTitleButtons = 200;
inline constexpr int kProgramsPage = 300;
inline constexpr int kLogManager = 2300;
inline constexpr int kUninstalling = 2400;
inline constexpr int kForcedUninstall = 2500;
inline constexpr int kPowerScan = 2600;
inline constexpr int kRestBrowserDefault = 2700;
inline constexpr int kAddonPage = 2800;
inline constexpr int kPluginVote = 2900;
inline constexpr int kMoreSettingsMenu = 3000;  // the main window's "More Settings" menu; languages from +50
inline constexpr int kAbout = 3100;
inline constexpr int kFloatingButton = 3200;

}  // namespace tarvo::shell::control_ids
