#pragma once
// What the command line asks of a start, decided without any window: the installation run,
// the hand-off words other components start us with, and what a second instance passes on.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/self_installation.h"
#include "shell/statistics_library.h"

namespace tarvo::shell {

// Messages that reach the main window from other processes and from itself.
constexpr UINT UM_ACTIVATE = 0x465;
constexpr UINT UM_SHELLVERB = 0x7E9;
constexpr UINT UM_FORCEDUNINSTALL = 0x7EA;
// dwData of a WM_COPYDATA that carries a program name from a second instance.
constexpr ULONG_PTR kCopyDataForcedUninstallTag = 2026;

using Arguments = std::vector<std::wstring>;  // after the program name

enum class HandOffWord { None, ShellVerb, ControlStatistics, ExplorerStatistics };

// Blanks and control characters off both ends.
[[nodiscard]] std::wstring Trimmed(const std::wstring& text);

// The installation run is setup's to recognise.
using setup::InstallTargetArgument;
using setup::IsInstallRun;

// The first argument, trimmed, as one of the hand-off words, ignoring letter case.
[[nodiscard]] HandOffWord ParseHandOffWord(const Arguments& arguments);
[[nodiscard]] std::wstring TrimmedArgument(const Arguments& arguments, std::size_t index);

// What a second instance sends to the running window before it exits: always UM_ACTIVATE,
// and the program name by WM_COPYDATA only for "control_statistics" with a name.
struct SecondInstanceNotice {
    bool postActivate = true;
    std::optional<std::wstring> copyDataText;
};
[[nodiscard]] SecondInstanceNotice SecondInstanceMessages(const Arguments& arguments);

// The WM_COPYDATA payload for a text: the UTF-16 characters and their terminating zero,
// zero-padded to 2 x length + 8 bytes, the byte count the running window expects.
[[nodiscard]] std::vector<BYTE> CopyDataPayload(const std::wstring& text);

// The text a WM_COPYDATA carries, trimmed, when its tag is ours; never reads past cbData,
// and a missing terminator ends the text at the last whole character.
[[nodiscard]] std::optional<std::wstring> TextFromCopyData(ULONG_PTR tag, const void* data, DWORD bytes);

// What the main window does with the command line once the catalogue exists.
struct HandOffPlan {
    HandOffWord word = HandOffWord::None;
    std::vector<StatisticEvent> statistics;
    std::optional<std::wstring> pendingForcedUninstallText;  // then UM_FORCEDUNINSTALL is posted
    std::wstring removalHostArgument;                        // empty: RemovalHost.exe is not started
    bool readShellVerbFile = false;
};
[[nodiscard]] HandOffPlan PlanCommandLineHandOff(const Arguments& arguments);

}  // namespace tarvo::shell
