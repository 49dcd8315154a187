#include "shell/unfinished_removal_offer.h"

#include "language/language.h"
#include "leftovers/removal_backup.h"
#include "leftovers/removal_journal.h"
#include "leftovers/unfinished_removal.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "shell/test_seam.h"
#include "uninstall/operation_log.h"

namespace tarvo::shell {

bool OfferUnfinishedRemovals(HWND owner) {
    const std::wstring dataFolder = settings::DataFolder();
    const std::wstring root = leftovers::BackupRootOf(dataFolder);
    const std::vector<std::wstring> folders = leftovers::FindUnfinishedRemovals(root);
    if (folders.empty()) return false;
    const int answer = test_seam::ShowMessageBox(
        owner,
        language::GetText(L"UnfinishedRemoval_Question",
                          L"A removal of leftovers stopped half-way the last time. Everything it removed is in "
                          L"its backup.") +
            L"\r\n\r\n" +
            language::GetText(L"UnfinishedRemoval_Choice",
                              L"Finish it now? No puts back what it removed, Cancel asks again next time."),
        language::GetText(L"Application_Title", L"Tarvo Uninstaller"), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO) return false;
    for (const auto& folder : folders) {
        if (answer == IDYES)
            (void)leftovers::FinishUnfinishedRemoval(
                folder, leftovers::DefaultRemovalActions(uninstall::MakeLogContext(dataFolder)), root,
                platform::LocalTimeNow());
        else
            (void)leftovers::UndoUnfinishedRemoval(folder);
    }
    return true;
}

}  // namespace tarvo::shell
