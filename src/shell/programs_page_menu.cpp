// The programs list's context menu and the commands behind it, and the export of the list.

#include <windows.h>

#include "inventory/catalogue_export.h"
#include "platform/registry.h"
#include "language/language.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "settings/registry_editor.h"
#include "settings/web_address.h"
#include "shell/main_window.h"
#include "shell/programs_page.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

namespace {

enum MenuCommand : UINT {
    kMenuUninstall = 1,
    kMenuRemoveEntry,
    kMenuRefresh,
    kMenuIcons,
    kMenuDetails,
    kMenuOpenFolder,
    kMenuViewEntry,
    kMenuSearchOnline,
};

void AddItem(HMENU menu, UINT id, const std::wstring& text, bool enabled, bool checked = false) {
    UINT flags = MF_STRING;
    if (!enabled) flags |= MF_GRAYED;
    if (checked) flags |= MF_CHECKED;
    ::AppendMenuW(menu, flags, id, text.c_str());
}

}  // namespace

bool TFrame_Software::SelectedKeyHasName() const {
    const inventory::TSoftInfo* entry = page_->EntryOfRow(list_.SelectedRow());
    return entry && platform::ValueExists(entry->Location(), L"DisplayName");
}

void TFrame_Software::OnContextMenu(int row, POINT screen) {
    // row -2: the footer's "View Style" button asks for the view submenu alone.
    const bool viewOnly = row == -2;
    if (row >= 0) list_.SelectRow(row);
    const inventory::TSoftInfo* entry = page_->EntryOfRow(list_.SelectedRow());
    const bool details = page_->ViewStyle() == inventory::TViewStyle::Details;

    const ui::unique_hmenu menu(::CreatePopupMenu());
    const ui::unique_hmenu viewMenu(::CreatePopupMenu());  // alone for the footer button; otherwise the main menu owns it
    const HMENU views = viewOnly ? viewMenu.get() : ::CreatePopupMenu();
    AddItem(views, kMenuIcons, MainWindowText(L"PopMenu_List_Icons", L"Icons"), true, !details);
    AddItem(views, kMenuDetails, MainWindowText(L"PopMenu_List_Details", L"Details"), true, details);
    HMENU shown = views;
    if (!viewOnly) {
        const bool keyHasName = SelectedKeyHasName();
        AddItem(menu.get(), kMenuUninstall, MainWindowText(L"PopMenu_List_Uninstall", L"Uninstall"), true);
        AddItem(menu.get(), kMenuRemoveEntry, MainWindowText(L"PopMenu_List_RemoveEntry", L"Remove Entry"), keyHasName);
        ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AddItem(menu.get(), kMenuRefresh, MainWindowText(L"PopMenu_List_Refresh", L"Refresh"), true);
        ::AppendMenuW(menu.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(views),
                      MainWindowText(L"PopMenu_List_ViewStyle", L"View Style").c_str());
        ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AddItem(menu.get(), kMenuOpenFolder, MainWindowText(L"PopMenu_List_OpenFolder", L"Open File Folder"),
                entry && !entry->InstallLocation.empty() && platform::FolderExists(entry->InstallLocation));
        AddItem(menu.get(), kMenuViewEntry, MainWindowText(L"PopMenu_List_ViewEntry", L"View Entry"), keyHasName);
        AddItem(menu.get(), kMenuSearchOnline, MainWindowText(L"PopMenu_List_SearchOnline", L"Search Online"),
                entry != nullptr);
        shown = menu.get();
    }
    const UINT command = static_cast<UINT>(::TrackPopupMenu(shown,
                                                            TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                                            screen.x, screen.y, 0, hwnd(), nullptr));
    switch (command) {
    case kMenuUninstall: UninstallSelected(true); break;
    case kMenuRemoveEntry: RemoveSelectedEntry(); break;
    case kMenuRefresh: Refresh(true); break;
    case kMenuIcons: SetViewStyle(inventory::TViewStyle::LargeIcons); break;
    case kMenuDetails: SetViewStyle(inventory::TViewStyle::Details); break;
    case kMenuOpenFolder: OpenSelectedFolder(); break;
    case kMenuViewEntry: ViewSelectedEntry(); break;
    case kMenuSearchOnline: SearchSelectedOnline(); break;
    default: break;
    }
}

void TFrame_Software::RemoveSelectedEntry() {
    inventory::TSoftInfo* entry = page_->EntryOfRow(list_.SelectedRow());
    if (!entry || !catalogue_) return;
    const int answer = test_seam::ShowMessageBox(::GetAncestor(hwnd(), GA_ROOT), language::SharedTexts().RemoveEntry_ASK,
                                                 TfrmTarvoUninstall::kApplicationTitle,
                                                 MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    // A key that cannot be deleted leaves the list as it was, without a message.
    if (catalogue_->RemoveEntry(*entry)) Refresh(true);
}

void TFrame_Software::OpenSelectedFolder() {
    const inventory::TSoftInfo* entry = page_->EntryOfRow(list_.SelectedRow());
    if (entry && platform::FolderExists(entry->InstallLocation)) (void)platform::ShellOpen(entry->InstallLocation);
}

void TFrame_Software::ViewSelectedEntry() {
    const inventory::TSoftInfo* entry = page_->EntryOfRow(list_.SelectedRow());
    if (entry) settings::OpenRegistryEditorAt(entry->RootKeyName + entry->KeyPath, L"DisplayName", entry->View64);
}

void TFrame_Software::SearchSelectedOnline() {
    const inventory::TSoftInfo* entry = page_->EntryOfRow(list_.SelectedRow());
    if (entry) settings::OpenWebAddress(settings::SearchOnlineAddress(entry->DisplayName));
}

void TFrame_Software::ExportList() {
    if (!catalogue_) return;
    const auto chosen = platform::AskSaveFileName(::GetAncestor(hwnd(), GA_ROOT), inventory::kExportDefaultName,
                                                  inventory::kExportDefaultExtension, inventory::kExportFilter);
    if (!chosen) return;
    const std::wstring path = inventory::ExportFileName(*chosen);
    // A failed write is not reported; the shell then has nothing to open either.
    if (inventory::WriteExportFile(path, catalogue_->Entries(), inventory::CurrentExportHeader()))
        (void)platform::ShellOpen(path);
}

}  // namespace tarvo::shell
