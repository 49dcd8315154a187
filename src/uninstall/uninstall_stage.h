#pragma once
// The stages of the uninstall dialog and what each one shows: which parts appear or go, and
// which texts change. The window applies a stage's look; the session decides the stage.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace tarvo::uninstall {

enum TUninstallStage : std::uint8_t {
    usAsk = 0,
    usRestorePoint = 1,
    usUninstalling = 2,
    usFilesDeleted = 3,
    usFinished = 4,
    usScanning = 5,
};

// The parts of the dialog that stages show and hide.
enum class DialogPart : std::size_t {
    Question,
    CreateRestoreCheck,  // the box and its label
    ProgressTitle,
    ProgressDetail,
    FinishedIcon,
    FinishedTitle,
    ScanIcon,
    ScanTitle,
    ScanDetail,
    ScanningLabel,
    UninstallButton,
    ScanButton,
    Count,
};
inline constexpr std::size_t kDialogPartCount = static_cast<std::size_t>(DialogPart::Count);

struct TStageLook {
    // Shown (true), hidden (false) or left as it is (nullopt), by DialogPart.
    std::array<std::optional<bool>, kDialogPartCount> visible{};
    // New texts; nullopt keeps the current one.
    std::optional<std::wstring> title;
    std::optional<std::wstring> progressTitle;
    std::optional<std::wstring> progressDetail;
    std::optional<std::wstring> finishedTitle;

    [[nodiscard]] std::optional<bool> Visible(DialogPart part) const { return visible[static_cast<std::size_t>(part)]; }
};

// The look of entering `stage`, texts from the loaded language. usAsk changes nothing: it
// is the dialog as designed.
[[nodiscard]] TStageLook StageLook(TUninstallStage stage);

// "Uninstall NAME (1/1)" for a single run.
[[nodiscard]] std::wstring SingleProgressTitle(const std::wstring& displayName);
// "Standard Uninstall NAME (n/total)" for a batch.
[[nodiscard]] std::wstring BatchProgressTitle(const std::wstring& displayName, int number, int total);

// Fills "%s" and "%d" of a message pattern left to right with `args`; text that the
// arguments bring in is never read as a pattern. "%%" is a percent sign.
[[nodiscard]] std::wstring FormatMessagePattern(const std::wstring& pattern, std::initializer_list<std::wstring> args);

}  // namespace tarvo::uninstall
