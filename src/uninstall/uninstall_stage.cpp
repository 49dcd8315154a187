#include "uninstall/uninstall_stage.h"

#include "language/language.h"

namespace tarvo::uninstall {

namespace {

using language::GetText;

void Set(TStageLook& look, std::initializer_list<DialogPart> parts, bool visible) {
    for (const DialogPart part : parts) look.visible[static_cast<std::size_t>(part)] = visible;
}

}  // namespace

TStageLook StageLook(TUninstallStage stage) {
    using P = DialogPart;
    TStageLook look;
    switch (stage) {
    case usAsk: break;
    case usRestorePoint:
        look.title = GetText(L"Create_Restore_M", L"Create Restore");
        Set(look, {P::Question, P::CreateRestoreCheck}, false);
        look.progressTitle = GetText(L"CreateRestore_Title_M", L"Create restore point before uninstalling.");
        look.progressDetail =
            GetText(L"CreateRestore_Detaill_M",
                    L"Create a restore point here and you can undo the changes if something unexpected happended.");
        Set(look, {P::ProgressTitle, P::ProgressDetail}, true);
        break;
    case usUninstalling:
        look.title = GetText(L"Uninstalling_M", L"Uninstalling");
        Set(look, {P::Question, P::CreateRestoreCheck, P::ProgressTitle}, false);
        look.progressDetail =
            GetText(L"Uninstalling_Detaill_M", L"Built-in uninstall by using the application's uninstaller.");
        Set(look, {P::ProgressDetail}, true);
        break;
    case usFilesDeleted:
    case usFinished:
        if (stage == usFilesDeleted) look.finishedTitle = GetText(L"UninstallComplete_Title_M", L"Files deleted.");
        Set(look, {P::UninstallButton, P::ProgressTitle, P::ProgressDetail, P::Question, P::CreateRestoreCheck}, false);
        Set(look, {P::ScanButton, P::ScanTitle, P::ScanDetail, P::ScanIcon, P::FinishedIcon, P::FinishedTitle}, true);
        break;
    case usScanning:
        Set(look, {P::ScanningLabel}, true);
        Set(look, {P::ScanTitle, P::ScanDetail, P::ScanIcon, P::FinishedIcon, P::FinishedTitle}, false);
        break;
    }
    return look;
}

std::wstring FormatMessagePattern(const std::wstring& pattern, std::initializer_list<std::wstring> args) {
    std::wstring out;
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size()) {
            const wchar_t kind = pattern[i + 1];
            if (kind == L'%') {
                out += L'%';
                ++i;
                continue;
            }
            if ((kind == L's' || kind == L'd') && next != args.end()) {
                out += *next++;
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::wstring SingleProgressTitle(const std::wstring& displayName) {
    return FormatMessagePattern(GetText(L"Uninstall_M", L"Uninstall %s (1/1)"), {displayName});
}

std::wstring BatchProgressTitle(const std::wstring& displayName, int number, int total) {
    return FormatMessagePattern(GetText(L"Standard_Uninstall_M", L"Standard Uninstall %s (%d/%d)"),
                                {displayName, std::to_wstring(number), std::to_wstring(total)});
}

}  // namespace tarvo::uninstall
