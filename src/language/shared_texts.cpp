#include "language/shared_texts.h"

#include <iterator>

#include "platform/text.h"

namespace tarvo::language {

namespace {

// Spelling slips in the English texts (and keys) are kept: translators' files are matched
// against them, and the texts are what users of earlier versions have always seen.
// The 39 texts every window shares, each written once: the message table and the table that
// fills TSharedTexts are both made from this list.
#define TARVO_SHARED_TEXTS(X) \
    X(RemoveEntry_ASK, L"Are you sure to remove the selected program entry?") \
    X(Edit_Search_Tip, L"Search Software") \
    X(ForcedUninstall_Browser_Tip, L"Invalid path. Please select again!") \
    X(ListviewHeader_Software, L"Software Name (Total: %d)") \
    X(BatchUninstall_NoneSelect, L"Please select at least one program.") \
    X(Uninstall_NoneSelect, L"Please select a program first.") \
    X(ListView_Icon_Hint, L"Icon") \
    X(ListView_List_Hint, L"Details") \
    X(WindowState_Max, L"Maximize") \
    X(WindowState_Normor, L"Restore") \
    X(WindowState_Min, L"Minimize") \
    X(Close, L"Close") \
    X(MoreMenu_Setting, L"More Settings") \
    X(Log_DeleteAll_ASK, L"Are you sure you want to delete all files? The deletion CANNOT be restored.") \
    X(Log_Delete_ASK, L"Are you sure you want to delete the selected file? The deletion CANNOT be restored.") \
    X(NoPowerfulScan_Found_Tip, L"No left items found.") \
    X(Log_M, L"Log") \
    X(App_Version_M, L"Applicaption Version:") \
    X(OS_Version_M, L"Operation System Verison:") \
    X(Date_M, L"Date") \
    X(Create_Restore_M, L"Create Restore") \
    X(CreateRestore_Title_M, L"Create restore point before uninstalling.") \
    X(CreateRestore_Detaill_M, \
      L"Create a restore point here and you can undo the changes if something unexpected happended.") \
    X(Uninstalling_M, L"Uninstalling") \
    X(Uninstalling_Detaill_M, L"Built-in uninstall by using the application's uninstaller.") \
    X(UninstallComplete_Title_M, L"Files deleted.") \
    X(Standard_Uninstall_M, L"Standard Uninstall %s (%d/%d)") \
    X(Uninstall_M, L"Uninstall %s (1/1)") \
    X(Deselect_All_M, L"Deselect All") \
    X(Select_All_M, L"Select All") \
    X(PowerfulScan_DeleteASK_M, L"Are you sure you want to delete the selected items?") \
    X(Operation_M, L"Operation") \
    X(Powerful_Scan_M, L"Powerful Scan") \
    X(Deleted_Registry_Key_M, L"Deleted Registry Key") \
    X(Deleted_Registry_Value_M, L"Deleted Registry Value") \
    X(Delete_File_M, L"Delete File") \
    X(Delete_Folder_M, L"Delete Folder") \
    X(Reboot_to_Delete_M, L"(Reboot to Delete)") \
    X(Delete_finished_M, L"Delete finished.")

#define TARVO_SHARED_ENTRY(key, text) {L## #key, text, &TSharedTexts::key},
constexpr TSharedTextEntry kShared[] = {TARVO_SHARED_TEXTS(TARVO_SHARED_ENTRY)};
#undef TARVO_SHARED_ENTRY
static_assert(std::size(kShared) == 39);

constexpr TMessageText kMessages[] = {
#define TARVO_SHARED_MESSAGE(key, text) {L## #key, text},
    TARVO_SHARED_TEXTS(TARVO_SHARED_MESSAGE)
#undef TARVO_SHARED_MESSAGE
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
    // Install and trace, and removal by trace.
    {L"Trace_Recorded_M", L"recorded at installation"},
    {L"Trace_Changed_Since_M", L"Left as it is, changed since the installation:"},
    {L"Trace_PutBack_Failed_M", L"Could not put back:"},
    {L"Trace_Service_M", L"Service stopped and deleted:"},
    {L"Trace_Restored_M", L"Put back as before the installation:"},
    {L"Trace_Elements_M", L"Took the installer's elements out of:"},
    {L"Trace_Ask_M",
     L"Install \"%s\" and record what it creates and changes? Its removal will then take exactly what it made."},
    {L"Trace_Drop_Ask_M",
     L"This looks like a setup program. Install \"%s\" and record what it does? (No: uninstall it by force instead.)"},
    {L"Trace_Filter_M", L"Setup programs"},
    {L"Trace_Done_M", L"The installation was recorded: %d items."},
    {L"Trace_Entries_M", L"Installed:"},
    {L"Trace_No_Entry_M", L"No program appeared in the list; the trace is kept all the same."},
    {L"Trace_Failed_M", L"The installation could not be recorded."},
    {L"Trace_Not_Started_M", L"The setup could not be started."},
    {L"Traces_Button_M", L"Traces"},
    {L"Traces_Delete_Ask_M",
     L"Delete the trace of \"%s\"? The program stays installed; its removal goes back to the usual rules."},
    {L"PopMenu_Sub_InstallAndTrace", L"Install and trace a program..."},
    {L"Registry_M", L"Registry"},
    {L"File_M", L"File"},
    // Leftovers of removed programs: why an item is offered or left alone.
    {L"Orphans_None_M", L"No leftovers of removed programs found."},
    {L"Orphans_UserFolder_M", L"inside the user's own folders"},
    {L"Orphans_HoldsUsed_M", L"holds a folder an installed program, service or process uses"},
    {L"Orphans_InUsed_M", L"lies in a folder an installed program, service or process uses"},
    {L"Orphans_Named_M", L"an installed program goes by this name"},
    {L"Orphans_Alike_M", L"an installed program has a similar name"},
    {L"Orphans_ShortName_M", L"its name is too short to tell whose it is"},
    {L"Orphans_DeadNamed_M", L"named like a removed program whose references are dead"},
    {L"Orphans_HoldsPrograms_M", L"still holds program files that no installed program names"},
    {L"Orphans_EmptyProgram_M", L"a program folder with no program left in it"},
    {L"Orphans_Unnamed_M", L"no installed program names this"},
    {L"Orphans_NamesFile_M", L"names a file that exists"},
    {L"Orphans_DeadEntry_M", L"its uninstaller and its folder are gone"},
    {L"Orphans_DeadLinkFolder_M", L"holds only shortcuts to missing files"},
    {L"Orphans_DeadLink_M", L"shortcut to a missing file"},
    {L"Orphans_DeadAppPath_M", L"App Paths entry of a missing program"},
    {L"Orphans_DeadRun_M", L"starts a missing program"},
    {L"Orphans_DeadClass_M", L"file class whose program is missing"},
    {L"Orphans_DeadType_M", L"file type of a missing program"},
    {L"Orphans_DeadVerb_M", L"shell verb of a missing program"},
    {L"Orphans_DeadHandler_M", L"context-menu handler whose file is missing"},
    {L"Orphans_DeadShared_M", L"use count of a missing shared file"},
    {L"Orphans_DeadFirewall_M", L"firewall rule for a missing program"},
    // Questions at the start and before a batch.
    {L"Application_Title", L"Tarvo Uninstaller"},
    {L"UnfinishedRemoval_Question",
     L"A removal of leftovers stopped half-way the last time. Everything it removed is in its backup."},
    {L"UnfinishedRemoval_Choice", L"Finish it now? No puts back what it removed, Cancel asks again next time."},
    {L"PendingScan_Question", L"These programs were uninstalled, but Tarvo stopped before their Powerful Scan:"},
    {L"PendingScan_Choice", L"Scan them now? No forgets them, Cancel asks again next time."},
    {L"QuietBatch_Asks", L"These programs have no known quiet uninstall and will ask their own questions:"},
    // When a program was last used.
    {L"UseToday", L"today"},
    {L"UseWithin3Days", L"within 3 days"},
    {L"UseWithin1Week", L"within 1 week"},
    {L"UseWithin2Weeks", L"within 2 weeks"},
    {L"UseWithin1Month", L"within 1 month"},
    {L"UseOften", L"often"},
    {L"UseLess", L"less"},
    {L"UseRarely", L"rarely"},
    {L"UseUnknown", L"<unknown>"},
};
#undef TARVO_SHARED_TEXTS

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
