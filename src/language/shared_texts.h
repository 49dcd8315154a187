#pragma once
// The message texts the program ships in English. The 39 shared texts are read so often that
// they are looked up once per language change and kept; every other message is looked up
// where it is shown, with its English text from the table below as the fallback.

#include <cstddef>
#include <span>
#include <string>

namespace tarvo::language {

// One variable per shared key, named by its key.
struct TSharedTexts {
    std::wstring RemoveEntry_ASK;
    std::wstring Edit_Search_Tip;
    std::wstring ForcedUninstall_Browser_Tip;
    std::wstring ListviewHeader_Software;
    std::wstring BatchUninstall_NoneSelect;
    std::wstring Uninstall_NoneSelect;
    std::wstring ListView_Icon_Hint;
    std::wstring ListView_List_Hint;
    std::wstring WindowState_Max;
    std::wstring WindowState_Normor;
    std::wstring WindowState_Min;
    std::wstring Close;
    std::wstring MoreMenu_Setting;
    std::wstring Log_DeleteAll_ASK;
    std::wstring Log_Delete_ASK;
    std::wstring NoPowerfulScan_Found_Tip;
    std::wstring Log_M;
    std::wstring App_Version_M;
    std::wstring OS_Version_M;
    std::wstring Date_M;
    std::wstring Create_Restore_M;
    std::wstring CreateRestore_Title_M;
    std::wstring CreateRestore_Detaill_M;
    std::wstring Uninstalling_M;
    std::wstring Uninstalling_Detaill_M;
    std::wstring UninstallComplete_Title_M;
    std::wstring Standard_Uninstall_M;
    std::wstring Uninstall_M;
    std::wstring Deselect_All_M;
    std::wstring Select_All_M;
    std::wstring PowerfulScan_DeleteASK_M;
    std::wstring Operation_M;
    std::wstring Powerful_Scan_M;
    std::wstring Deleted_Registry_Key_M;
    std::wstring Deleted_Registry_Value_M;
    std::wstring Delete_File_M;
    std::wstring Delete_Folder_M;
    std::wstring Reboot_to_Delete_M;
    std::wstring Delete_finished_M;

    // Every text in its built-in English.
    TSharedTexts();
};

struct TSharedTextEntry {
    const wchar_t* key;
    const wchar_t* text;
    std::wstring TSharedTexts::*field;
};

struct TMessageText {
    const wchar_t* key;
    const wchar_t* text;
};

// The shared texts in the order they are loaded.
[[nodiscard]] std::span<const TSharedTextEntry> SharedTextTable() noexcept;
// Every message key with its English text, the shared ones first, each key once. The
// English language file carries exactly these lines.
[[nodiscard]] std::span<const TMessageText> BuiltInMessages() noexcept;
// The English text of a message key (ignoring case); empty for a key the program never uses.
[[nodiscard]] std::wstring BuiltInText(const std::wstring& key);

}  // namespace tarvo::language
