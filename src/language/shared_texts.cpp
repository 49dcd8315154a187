#include "language/shared_texts.h"

#include <iterator>

#include "platform/text.h"

namespace tarvo::language {

namespace {

// Spelling slips in the English texts (and keys) are kept: translators' files are matched
// against them, and the texts are what users of earlier versions have always seen.
#define TARVO_SHARED(key, text) {L## #key, text, &TSharedTexts::key}
constexpr TSharedTextEntry kShared[] = {
    TARVO_SHARED(RemoveEntry_ASK, L"Are you sure to remove the selected program entry?"),
    TARVO_SHARED(Edit_Search_Tip, L"Search Software"),
    TARVO_SHARED(ForcedUninstall_Browser_Tip, L"Invalid path. Please select again!"),
    TARVO_SHARED(ListviewHeader_Software, L"Software Name (Total: %d)"),
    TARVO_SHARED(BatchUninstall_NoneSelect, L"Please select at least one program."),
    TARVO_SHARED(Uninstall_NoneSelect, L"Please select a program first."),
    TARVO_SHARED(ListView_Icon_Hint, L"Icon"),
    TARVO_SHARED(ListView_List_Hint, L"Details"),
    TARVO_SHARED(WindowState_Max, L"Maximize"),
    TARVO_SHARED(WindowState_Normor, L"Restore"),
    TARVO_SHARED(WindowState_Min, L"Minimize"),
    TARVO_SHARED(Close, L"Close"),
    TARVO_SHARED(MoreMenu_Setting, L"More Settings"),
    TARVO_SHARED(Log_DeleteAll_ASK,
                 L"Are you sure you want to delete all files? The deletion CANNOT be restored."),
    TARVO_SHARED(Log_Delete_ASK,
                 L"Are you sure you want to delete the selected file? The deletion CANNOT be restored."),
    TARVO_SHARED(NoPowerfulScan_Found_Tip, L"No left items found."),
    TARVO_SHARED(Log_M, L"Log"),
    TARVO_SHARED(App_Version_M, L"Applicaption Version:"),
    TARVO_SHARED(OS_Version_M, L"Operation System Verison:"),
    TARVO_SHARED(Date_M, L"Date"),
    TARVO_SHARED(Create_Restore_M, L"Create Restore"),
    TARVO_SHARED(CreateRestore_Title_M, L"Create restore point before uninstalling."),
    TARVO_SHARED(CreateRestore_Detaill_M,
                 L"Create a restore point here and you can undo the changes if something unexpected happended."),
    TARVO_SHARED(Uninstalling_M, L"Uninstalling"),
    TARVO_SHARED(Uninstalling_Detaill_M, L"Built-in uninstall by using the application's uninstaller."),
    TARVO_SHARED(UninstallComplete_Title_M, L"Files deleted."),
    TARVO_SHARED(Standard_Uninstall_M, L"Standard Uninstall %s (%d/%d)"),
    TARVO_SHARED(Uninstall_M, L"Uninstall %s (1/1)"),
    TARVO_SHARED(Deselect_All_M, L"Deselect All"),
    TARVO_SHARED(Select_All_M, L"Select All"),
    TARVO_SHARED(PowerfulScan_DeleteASK_M, L"Are you sure you want to delete the selected items?"),
    TARVO_SHARED(Operation_M, L"Operation"),
    TARVO_SHARED(Powerful_Scan_M, L"Powerful Scan"),
    TARVO_SHARED(Deleted_Registry_Key_M, L"Deleted Registry Key"),
    TARVO_SHARED(Deleted_Registry_Value_M, L"Deleted Registry Value"),
    TARVO_SHARED(Delete_File_M, L"Delete File"),
    TARVO_SHARED(Delete_Folder_M, L"Delete Folder"),
    TARVO_SHARED(Reboot_to_Delete_M, L"(Reboot to Delete)"),
    TARVO_SHARED(Delete_finished_M, L"Delete finished."),
};
#undef TARVO_SHARED
static_assert(std::size(kShared) == 39);

constexpr TMessageText kMessages[] = {
    // The shared texts, repeated here so that one table lists every message.
    {L"RemoveEntry_ASK", L"Are you sure to remove the selected program entry?"},
    {L"Edit_Search_Tip", L"Search Software"},
    {L"ForcedUninstall_Browser_Tip", L"Invalid path. Please select again!"},
    {L"ListviewHeader_Software", L"Software Name (Total: %d)"},
    {L"BatchUninstall_NoneSelect", L"Please select at least one program."},
    {L"Uninstall_NoneSelect", L"Please select a program first."},
    {L"ListView_Icon_Hint", L"Icon"},
    {L"ListView_List_Hint", L"Details"},
    {L"WindowState_Max", L"Maximize"},
    {L"WindowState_Normor", L"Restore"},
    {L"WindowState_Min", L"Minimize"},
    {L"Close", L"Close"},
    {L"MoreMenu_Setting", L"More Settings"},
    {L"Log_DeleteAll_ASK", L"Are you sure you want to delete all files? The deletion CANNOT be restored."},
    {L"Log_Delete_ASK", L"Are you sure you want to delete the selected file? The deletion CANNOT be restored."},
    {L"NoPowerfulScan_Found_Tip", L"No left items found."},
    {L"Log_M", L"Log"},
    {L"App_Version_M", L"Applicaption Version:"},
    {L"OS_Version_M", L"Operation System Verison:"},
    {L"Date_M", L"Date"},
    {L"Create_Restore_M", L"Create Restore"},
    {L"CreateRestore_Title_M", L"Create restore point before uninstalling."},
    {L"CreateRestore_Detaill_M",
     L"Create a restore point here and you can undo the changes if something unexpected happended."},
    {L"Uninstalling_M", L"Uninstalling"},
    {L"Uninstalling_Detaill_M", L"Built-in uninstall by using the application's uninstaller."},
    {L"UninstallComplete_Title_M", L"Files deleted."},
    {L"Standard_Uninstall_M", L"Standard Uninstall %s (%d/%d)"},
    {L"Uninstall_M", L"Uninstall %s (1/1)"},
    {L"Deselect_All_M", L"Deselect All"},
    {L"Select_All_M", L"Select All"},
    {L"PowerfulScan_DeleteASK_M", L"Are you sure you want to delete the selected items?"},
    {L"Operation_M", L"Operation"},
    {L"Powerful_Scan_M", L"Powerful Scan"},
    {L"Deleted_Registry_Key_M", L"Deleted Registry Key"},
    {L"Deleted_Registry_Value_M", L"Deleted Registry Value"},
    {L"Delete_File_M", L"Delete File"},
    {L"Delete_Folder_M", L"Delete Folder"},
    {L"Reboot_to_Delete_M", L"(Reboot to Delete)"},
    {L"Delete_finished_M", L"Delete finished."},
    // Browser defaults restore.
    {L"RestoreDefaultSettingsButton", L"Restore %s Default Settings"},
    {L"FuncCheckBrowserMsgBox_1", L"%s is running"},
    {L"FuncCheckBrowserMsgBox_2", L"click OK to turn it off forcely (you might loss unsaved contents)"},
    {L"FuncCheckBrowserMsgBox_3", L"click Cancel to abort the operation"},
    {L"FuncRestoreSuccessMsgBox", L"Browser restored to default settings successfully"},
    {L"FuncRestoreFailedMsgBox", L"Fail to restore browser to default settings, please exit %s and try again"},
    // Add-on page.
    {L"ListViewItemVote", L"Vote"},
    {L"ListViewItemVoted", L"Voted"},
    {L"ListViewItemTrust", L"Trust"},
    {L"ListViewItemUnTrust", L"UnTrust"},
    {L"ListViewPlugSysbit", L"bit"},
    {L"ListViewPlugBlockedByPolicy", L"blocked by policy"},
    {L"ListViewGroupUnTrustTitle", L"Plug-ins recommended to remove"},
    {L"ListViewGroupUnTrustDesc", L"These plug-ins with low user ratings may contain some undersirable functions."},
    {L"ListViewGroupTrustTitle", L"Trusted plug-ins"},
    {L"ListViewGroupTrustDesc",
     L"These plug-ins won't harm your computer after removal. You can remove or keep them to your own needs."},
    {L"ListViewGroupToolbar", L"Toolbar"},
    {L"ListViewGroupBHO", L"BHO"},
    {L"ListViewGroupActiveX", L"ActiveX"},
    {L"ListViewGroupExtensions", L"Extensions"},
    {L"ListViewGroupPlugins", L"Plugins"},
    {L"SearchLoadingMsg", L"Searching for Plug-in ..."},
    {L"FuncPluginSelectMsgBox", L"Please select plugins to remove"},
    {L"FuncPluginRmoveConfireMsgBox", L"Are you sure you want to remove all selected Plugins ?"},
    {L"FuncCheckBrowserMsgBox_4", L"%s are running"},
    {L"FuncCheckBrowserMsgBox_5", L"click OK to turn them off forcely (you might loss unsaved contents)"},
    {L"FuncCheckBrowserMsgBox_6", L"click Cancel to abort the operation"},
    {L"FuncPluginRemoveFailedMsgBox_1", L"Failed to remove following plugins:"},
    {L"FuncPluginRemoveFailedMsgBox_2", L"Please exit following browsers to remove the plugins:"},
    {L"FuncPluginRemoveFailedMsgBox_3", L"Please confirm that browsers are exited, and then try again."},
    {L"FuncPluginRemoveSuccessMsgBox", L"Plugins removed successfully"},
    {L"FuncVotePlugSelectMsgBox", L"Please select plugins to vote"},
    // Voting.
    {L"FuncVoteHavedVote", L"You have already voted"},
    {L"FuncVoteConfire", L"How do you think about this software:"},
    {L"FuncVoteMarkSelectMsgBox", L"Please select a mark to vote"},
    {L"FuncVoteFailedMsgBox", L"Vote failed, please check the network connection and try again"},
    {L"PluginTabAllBrowsers", L"All Browsers"},
    {L"PowerfulScan_Found_Tip", L"%d left items found."},
    {L"Removal_Failed_M", L"Could not be deleted:"},
    {L"Removal_Skipped_M", L"Left alone, changed since the scan:"},
    {L"Removal_Shared_M", L"Left alone, a key other programs share:"},
    {L"Removal_Service_Restart_M", L"The service could not be stopped and will be removed when Windows restarts:"},
    {L"Removal_NoBackup_M", L"Left alone, its backup could not be written:"},
    {L"Scan_Refused_Shared_M", L"a shared folder"},
    {L"Scan_Refused_Other_M", L"belongs to another program"},
    {L"Scan_Refused_Holder_M", L"holds another program's folder"},
    {L"Scan_Refused_Link_M", L"reached through a link"},
    // The main window's commands.
    {L"Unknown_OS_M", L"Unknown operation system"},
    // Removal backups.
    {L"PowerfulScan_BackedUp_M", L"The removed items were backed up. Log Management > Backups can restore them."},
    {L"Backup_UnknownProgram_M", L"(unknown program)"},
    {L"Backup_Restore_ASK",
     L"Restore what the removal of %s took away on %s? Nothing that is back in its place will be overwritten."},
    {L"Backup_Unreadable_M", L"This backup cannot be read."},
    {L"Backup_Restored_M", L"Restored: %d files, %d folders, %d registry values."},
    {L"Backup_LeftAlone_M", L"Left alone, because something is back in its place:"},
    {L"Backup_NotRestored_M", L"Could not be restored:"},
    {L"Backup_FolderNotCreated_M", L"folder not created: %s"},
    {L"Backup_RegistryFileMissing_M", L"registry file missing: %s"},
    {L"Backup_RegistryLinesFailed_M", L"%d registry lines not restored from %s"},
    {L"Backup_NotPutBack_M", L"could not be put back: %s"},
    // The console's failure lines.
    {L"Cli_BrowserRunning_M", L"%s is running; close it and try again"},
    {L"Cli_NotRestored_M", L"could not restore: %s"},
    {L"Cli_Failed_M", L"failed: %s"},
    {L"Cli_NoBackup_M", L"no removal backup in \"%s\""},
    {L"Backup_DeleteRestored_ASK", L"Everything is back in its place. Delete this backup now?"},
    {L"Backup_DeleteRestored_M", L"Delete the backup of %s? It was restored on %s."},
    {L"Backup_DeleteUnrestored_M",
     L"Delete the backup of %s? It has not been restored: what it holds cannot be brought back afterwards."},
};

}  // namespace

TSharedTexts::TSharedTexts() {
    for (const auto& entry : kShared) this->*entry.field = entry.text;
}

std::span<const TSharedTextEntry> SharedTextTable() noexcept { return kShared; }

std::span<const TMessageText> BuiltInMessages() noexcept { return kMessages; }

std::wstring BuiltInText(const std::wstring& key) {
    for (const auto& message : kMessages)
        if (platform::EqualsIgnoreCase(message.key, key)) return message.text;
    return {};
}

}  // namespace tarvo::language
