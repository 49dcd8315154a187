#include "ui/translate_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "language/language.h"
#include "language_fixture.h"

using namespace tarvo::language;
using tarvo::test::LanguageFolder;

namespace {

struct WindowDeleter {
    void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;
struct MenuDeleter {
    void operator()(HMENU menu) const noexcept { ::DestroyMenu(menu); }
};
using OwnedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

constexpr UINT kAboutCommand = 101;
constexpr UINT kEnglishCommand = 102;

std::wstring Text(HWND window) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring ComboItem(HWND combo, int i) {
    wchar_t buffer[256] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring ListBoxItem(HWND list, int i) {
    wchar_t buffer[256] = {};
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring MenuItem(HMENU menu, UINT item, bool byPosition) {
    wchar_t buffer[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = 256;
    ::GetMenuItemInfoW(menu, item, byPosition, &info);
    return buffer;
}

// A hidden window with one control of each kind a window of ours translates.
class TranslateWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        form.reset(::CreateWindowExW(0, L"STATIC", L"Test", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                     nullptr, nullptr));
        const HWND parent = form.get();
        button = Child(WC_BUTTONW, L"Apply", BS_PUSHBUTTON);
        listView = Child(WC_LISTVIEWW, L"", LVS_REPORT);
        combo = Child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST);
        tree = Child(WC_TREEVIEWW, L"", TVS_HASLINES);
        listBox = Child(WC_LISTBOXW, L"", LBS_EXTENDEDSEL);
        tabs = Child(WC_TABCONTROLW, L"", 0);
        ASSERT_TRUE(parent && button && listView && combo && tree && listBox && tabs);

        const wchar_t* columns[] = {L"Name", L"Size", L"Date"};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 80;
            column.pszText = const_cast<wchar_t*>(columns[i]);
            ::SendMessageW(listView, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        for (const wchar_t* item : {L"Fast", L"Normal", L"Thorough"})
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        for (int i = 0; i < 3; ++i) ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(i), 100 + i);
        ::SendMessageW(combo, CB_SETCURSEL, 2, 0);
        for (const wchar_t* item : {L"Internet Explorer", L"All browsers", L"Firefox"})
            ::SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        ::SendMessageW(listBox, LB_SETITEMDATA, 1, 42);
        ::SendMessageW(listBox, LB_SETSEL, TRUE, 1);
        ::SendMessageW(listBox, LB_SETSEL, TRUE, 2);
        // Registry > (Keys > Value, Values), Files: numbered 0..4 in that order.
        const HTREEITEM registry = AddNode(nullptr, L"Registry");
        const HTREEITEM keys = AddNode(registry, L"Keys");
        AddNode(keys, L"Value");
        AddNode(registry, L"Values");
        AddNode(nullptr, L"Files");
        for (const wchar_t* caption : {L"First", L"Second"}) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(caption);
            ::SendMessageW(tabs, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&item));
        }
        menu.reset(::CreatePopupMenu());
        languages = ::CreatePopupMenu();
        ::AppendMenuW(languages, MF_STRING, kEnglishCommand, L"English");
        ::AppendMenuW(menu.get(), MF_STRING, kAboutCommand, L"About");
        ::AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(languages), L"Language");

        language.SetFolder(files.path());
        files.Write(L"German", L"[Uninstaller_frmTest]\r\n"
                               L"Button_Apply.Caption=Übernehmen\r\n"
                               L"ListView_Files.Columns[1].Caption=Größe\r\n"
                               L"ListView_Files.Columns[2].Caption=Datum\r\n"
                               L"ComboBox_Mode.Items[0].Caption=Schnell\r\n"
                               L"ComboBox_Mode.Items[2].Caption=Gründlich\r\n"
                               L"Tree_Result.Items[0].Caption=Registrierung\r\n"
                               L"Tree_Result.Items[2].Caption=Wert\r\n"
                               L"Tree_Result.Items[4].Caption=Dateien\r\n"
                               L"CheckList_Browsers.Items[1].Caption=Alle Browser\r\n"
                               L"TabSheet_Second.Caption=Zweite\r\n"
                               L"PopMenu_Sub_About.Caption=Über\r\n"
                               L"PopMenu_Sub_Language.Caption=Sprache\r\n"
                               L"Edit_Search.Hint=Programme suchen\r\n");
        files.Write(L"Empty", L"[Main]\r\nDisplayName=Nothing\r\n");

        window.Add(tarvo::ui::CaptionTarget(L"Button_Apply", button));
        window.Add(tarvo::ui::ColumnsTarget(L"ListView_Files", listView));
        window.Add(tarvo::ui::ComboItemsTarget(L"ComboBox_Mode", combo));
        window.Add(tarvo::ui::TreeItemsTarget(L"Tree_Result", tree));
        window.Add(tarvo::ui::ListBoxItemsTarget(L"CheckList_Browsers", listBox));
        window.Add(tarvo::ui::TabTarget(L"TabSheet_First", tabs, 0));
        window.Add(tarvo::ui::TabTarget(L"TabSheet_Second", tabs, 1));
        window.Add(tarvo::ui::MenuItemTarget(L"PopMenu_Sub_About", menu.get(), kAboutCommand));
        window.Add(tarvo::ui::MenuItemTarget(L"PopMenu_Sub_Language", menu.get(), 1, true));
        window.Add(tarvo::ui::HintTarget(
            L"Edit_Search", [this] { return searchHint; }, [this](const std::wstring& text) { searchHint = text; }));
    }

    HWND Child(const wchar_t* className, const wchar_t* caption, DWORD style) {
        return ::CreateWindowExW(0, className, caption, WS_CHILD | style, 0, 0, 200, 150, form.get(), nullptr,
                                 nullptr, nullptr);
    }

    HTREEITEM AddNode(HTREEITEM parent, const wchar_t* text) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent ? parent : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(text);
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }

    std::vector<std::wstring> Columns() const {
        std::vector<std::wstring> texts;
        for (int i = 0; i < 3; ++i) {
            wchar_t buffer[64] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = buffer;
            column.cchTextMax = 64;
            ::SendMessageW(listView, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
            texts.emplace_back(buffer);
        }
        return texts;
    }

    std::vector<std::wstring> TreeTexts() const {
        auto texts = tarvo::ui::TreeItemsTarget(L"", tree).read();
        return texts ? *texts : std::vector<std::wstring>{};
    }

    std::wstring Tab(int index) const {
        auto texts = tarvo::ui::TabTarget(L"", tabs, index).read();
        return texts ? texts->at(0) : L"";
    }

    LanguageFolder files;
    TLanguage language;
    TTranslatableWindow window{language, L"frmTest"};
    OwnedWindow form;
    OwnedMenu menu;
    HMENU languages = nullptr;
    HWND button = nullptr, listView = nullptr, combo = nullptr, tree = nullptr, listBox = nullptr, tabs = nullptr;
    std::wstring searchHint = L"Search Software";
};

}  // namespace

TEST_F(TranslateWindowTest, EveryKindOfControlTakesItsTexts) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    ASSERT_TRUE(window.Translate());

    EXPECT_EQ(Text(button), L"Übernehmen");
    EXPECT_EQ(Columns(), (std::vector<std::wstring>{L"Name", L"Größe", L"Datum"}));
    EXPECT_EQ(ComboItem(combo, 0), L"Schnell");
    EXPECT_EQ(ComboItem(combo, 1), L"Normal");
    EXPECT_EQ(ComboItem(combo, 2), L"Gründlich");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);  // the selection survives
    for (int i = 0; i < 3; ++i) EXPECT_EQ(::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0), 100 + i);
    EXPECT_EQ(TreeTexts(), (std::vector<std::wstring>{L"Registrierung", L"Keys", L"Wert", L"Values", L"Dateien"}));
    EXPECT_EQ(ListBoxItem(listBox, 1), L"Alle Browser");
    EXPECT_EQ(::SendMessageW(listBox, LB_GETITEMDATA, 1, 0), 42);
    EXPECT_EQ(::SendMessageW(listBox, LB_GETSEL, 0, 0), 0);
    EXPECT_GT(::SendMessageW(listBox, LB_GETSEL, 1, 0), 0);
    EXPECT_GT(::SendMessageW(listBox, LB_GETSEL, 2, 0), 0);
    EXPECT_EQ(Tab(0), L"First");
    EXPECT_EQ(Tab(1), L"Zweite");
    EXPECT_EQ(MenuItem(menu.get(), kAboutCommand, false), L"Über");
    EXPECT_EQ(MenuItem(menu.get(), 1, true), L"Sprache");
    EXPECT_EQ(::GetSubMenu(menu.get(), 1), languages);  // still the same submenu
    EXPECT_EQ(searchHint, L"Programme suchen");
}

TEST_F(TranslateWindowTest, ALanguageWithoutTheWindowBringsBackItsDesign) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    ASSERT_TRUE(window.Translate());
    ASSERT_TRUE(language.LoadLanguage(L"Empty"));
    language.TranslateAll();

    EXPECT_EQ(Text(button), L"Apply");
    EXPECT_EQ(Columns(), (std::vector<std::wstring>{L"Name", L"Size", L"Date"}));
    EXPECT_EQ(ComboItem(combo, 2), L"Thorough");
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(TreeTexts(), (std::vector<std::wstring>{L"Registry", L"Keys", L"Value", L"Values", L"Files"}));
    EXPECT_EQ(ListBoxItem(listBox, 1), L"All browsers");
    EXPECT_EQ(Tab(1), L"Second");
    EXPECT_EQ(MenuItem(menu.get(), 1, true), L"Language");
    EXPECT_EQ(searchHint, L"Search Software");
}

TEST_F(TranslateWindowTest, ADestroyedControlEndsTheTranslationQuietly) {
    ASSERT_TRUE(language.LoadLanguage(L"German"));
    ::DestroyWindow(combo);
    EXPECT_FALSE(window.Translate());
    EXPECT_EQ(Text(button), L"Übernehmen");  // translated before the combo box
    EXPECT_EQ(TreeTexts()[0], L"Registry");  // after it: left alone
}

TEST(ShippedLanguages, SwitchTheMainWindowMenuBetweenEnglishAndGerman) {
    // The copies beside the test executable, where the program itself finds them.
    TLanguage language;
    TTranslatableWindow window(language, L"frmTarvoUninstall");
    OwnedMenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.get(), MF_STRING, kAboutCommand, L"About");
    ::AppendMenuW(menu.get(), MF_STRING, kEnglishCommand, L"Forced Uninstall");
    window.Add(tarvo::ui::MenuItemTarget(L"PopMenu_Sub_About", menu.get(), kAboutCommand));
    window.Add(tarvo::ui::MenuItemTarget(L"PopMenu_Sub_ForcedUninstall", menu.get(), kEnglishCommand));

    ASSERT_TRUE(language.LoadLanguage(L"German"));
    EXPECT_EQ(language.CurrentDisplayName(), L"Deutsch");
    language.TranslateAll();
    EXPECT_EQ(MenuItem(menu.get(), kAboutCommand, false), L"Über");
    EXPECT_EQ(MenuItem(menu.get(), kEnglishCommand, false), L"Erzwungene Deinstallation");

    ASSERT_TRUE(language.LoadLanguage(L"English"));
    language.TranslateAll();
    EXPECT_EQ(MenuItem(menu.get(), kAboutCommand, false), L"About");
    EXPECT_EQ(MenuItem(menu.get(), kEnglishCommand, false), L"Forced Uninstall");
}
