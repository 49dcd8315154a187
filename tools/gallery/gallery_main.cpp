// The widget gallery: every control of src/ui/ in one borderless window with made-up
// programs, for looking at them at different DPIs and for the screenshot test.
//   tarvo_gallery [--dpi N] [--icons] [--batch] [--search TEXT]

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "fake_programs.h"
#include "ui/category_bar.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/image_button.h"
#include "ui/palette.h"
#include "ui/search_box.h"
#include "ui/title_bar.h"
#include "ui/virtual_list_view.h"
#include "ui/window_base.h"

namespace tarvo::gallery {
namespace {

using namespace tarvo::ui;

constexpr int kDesignWidth = 840;
constexpr int kDesignHeight = 520;
constexpr int kTitleHeight = 40;
constexpr int kCornerRadius = 6;

enum ControlId { kCategoryId = 100, kSearchId, kListId, kPageSoftwareId, kPagePluginsId, kUninstallId, kBatchId,
                 kViewId, kDisabledId, kTitleButtonsId = 200 };

class ImageListOwner {
public:
    ImageListOwner() = default;
    ImageListOwner(const ImageListOwner&) = delete;
    ImageListOwner& operator=(const ImageListOwner&) = delete;
    ~ImageListOwner() { if (list_) ::ImageList_Destroy(list_); }
    void Reset(HIMAGELIST list) {
        if (list_) ::ImageList_Destroy(list_);
        list_ = list;
    }
    [[nodiscard]] HIMAGELIST get() const noexcept { return list_; }

private:
    HIMAGELIST list_ = nullptr;
};

// Icons from shell32.dll at one size: PrivateExtractIcons picks the closest image the file has.
HIMAGELIST LoadShellIcons(int size, const std::vector<int>& indexes) {
    const HIMAGELIST list = ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(indexes.size()), 0);
    wchar_t shell32[MAX_PATH] = {};
    ::GetSystemDirectoryW(shell32, MAX_PATH);
    std::wcscat(shell32, L"\\shell32.dll");
    for (const int index : indexes) {
        HICON icon = nullptr;
        UINT id = 0;
        if (::PrivateExtractIconsW(shell32, index, size, size, &icon, &id, 1, 0) != 1 || !icon) {
            ::ExtractIconExW(shell32, index, &icon, nullptr, 1);
        }
        if (icon) {
            ::ImageList_AddIcon(list, icon);
            ::DestroyIcon(icon);
        }
    }
    return list;
}

bool ContainsIgnoringCase(const std::wstring& text, const std::wstring& part) {
    if (part.empty()) return true;
    auto upper = [](std::wstring s) {
        ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
        return s;
    };
    return upper(text).find(upper(part)) != std::wstring::npos;
}

class GalleryWindow final : public WindowBase, private ListDataSource {
public:
    bool Create(int dpi, bool icons, bool batch, const std::wstring& search) {
        dpi_ = dpi;
        const std::vector<int> shellIcons{2, 3, 4, 12, 13, 15, 16, 21, 22, 23, 43, 46, 70, 137, 165, 167};
        rowIcons_.Reset(LoadShellIcons(ScaleForDpi(32, dpi), shellIcons));
        largeIcons_.Reset(LoadShellIcons(ScaleForDpi(48, dpi), shellIcons));
        programs_ = MakeFakePrograms(200, ::ImageList_GetImageCount(rowIcons_.get()));

        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int width = std::min<int>(ScaleForDpi(kDesignWidth, dpi), work.right - work.left);
        const int height = std::min<int>(ScaleForDpi(kDesignHeight, dpi), work.bottom - work.top);
        const RECT bounds{work.left + (work.right - work.left - width) / 2, work.top + (work.bottom - work.top - height) / 2, 0, 0};
        const RECT placed{bounds.left, bounds.top, bounds.left + width, bounds.top + height};
        if (!CreateTopLevel(L"TarvoGallery", L"Tarvo Uninstaller", WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU,
                            0, placed)) {
            return false;
        }
        title_.onClose = [this] { ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); };
        title_.onMinimize = [this] { ::ShowWindow(hwnd(), SW_MINIMIZE); };
        title_.onMaximize = [this] { ToggleMaximized(); };
        title_.Create(hwnd(), kTitleAll, dpi, kTitleButtonsId);
        title_.SetHeight(kTitleHeight);
        title_.SetCaption(L"Tarvo Uninstaller");
        // The window text tells the screenshot test which DPI the gallery ended up with.
        ::SetWindowTextW(hwnd(), (L"Widget gallery " + std::to_wstring(dpi) + L" DPI").c_str());
        title_.SetIcon(static_cast<HICON>(::LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, ScaleForDpi(16, dpi),
                                                       ScaleForDpi(16, dpi), LR_SHARED)));

        ButtonFace page;
        page.style = ButtonStyle::Page;
        page.text = L"Software";
        pageSoftware_.Create(hwnd(), kPageSoftwareId, {}, page, dpi);
        page.text = L"Browser plug-ins";
        pagePlugins_.Create(hwnd(), kPagePluginsId, {}, page, dpi);
        pageSoftware_.SetChecked(true);
        pageSoftware_.onClick = [this] { pageSoftware_.SetChecked(true); pagePlugins_.SetChecked(false); };
        pagePlugins_.onClick = [this] { pagePlugins_.SetChecked(true); pageSoftware_.SetChecked(false); };
        for (ImageButton* b : {&pageSoftware_, &pagePlugins_}) b->SetBackground(palette::kTitleBar);

        categories_.Create(hwnd(), kCategoryId, {}, {L"All Programs", L"Recently Installed", L"Large Programs",
                                                     L"Infrequently Used", L"Windows Updates"}, dpi);
        categories_.onSelect = [this](int) { Filter(); };
        search_.Create(hwnd(), kSearchId, {}, L"Search Software", dpi);
        search_.onChange = [this](const std::wstring&) { Filter(); };

        std::vector<ListColumn> columns(4);
        columns[0] = {L"Software Name (Total: %d)", 380, ColumnKind::Caption, true, false, {}};
        columns[1] = {L"Operate", 110, ColumnKind::Button, false, false, L"Uninstall"};
        columns[2] = {L"Size", 110, ColumnKind::Text, true, true, {}};
        columns[3] = {L"Install Date", 120, ColumnKind::Text, true, false, {}};
        list_.Create(hwnd(), kListId, {}, std::move(columns), *this, dpi);
        list_.SetImageLists(rowIcons_.get(), largeIcons_.get());
        list_.SetSort(0, SortOrder::Ascending);
        list_.SetCheckBoxes(batch);
        if (icons) list_.SetViewStyle(ListViewStyle::LargeIcons);

        ButtonFace primary;
        primary.style = ButtonStyle::Primary;
        primary.text = L"Uninstall";
        uninstall_.Create(hwnd(), kUninstallId, {}, primary, dpi);
        ButtonFace secondary;
        secondary.text = L"Batch Uninstall";
        batch_.Create(hwnd(), kBatchId, {}, secondary, dpi);
        batch_.onClick = [this] { list_.SetCheckBoxes(!list_.checkBoxes()); UpdateStatus(); };
        secondary.text = L"View Style";
        secondary.glyph = Glyph::ChevronDown;
        view_.Create(hwnd(), kViewId, {}, secondary, dpi);
        view_.onClick = [this] {
            list_.SetViewStyle(list_.viewStyle() == ListViewStyle::Details ? ListViewStyle::LargeIcons : ListViewStyle::Details);
        };
        secondary.glyph = Glyph::None;
        secondary.text = L"Disabled";
        disabled_.Create(hwnd(), kDisabledId, {}, secondary, dpi);
        ::EnableWindow(disabled_.hwnd(), FALSE);

        Filter();
        list_.SelectRow(2);
        if (!search.empty()) ::SetWindowTextW(search_.edit(), search.c_str());
        LayOut();
        ApplyRoundedCorners(hwnd(), kCornerRadius, dpi_, false);
        ::ShowWindow(hwnd(), SW_SHOW);
        list_.Focus();
        return true;
    }

private:
    // ListDataSource
    void GetRow(int row, ListRowData& data) override {
        const FakeProgram& p = programs_[static_cast<size_t>(visible_[static_cast<size_t>(row)])];
        data.caption = p.name;
        data.detail = p.publisher;
        data.icon = p.icon;
        data.checked = p.checked;
        data.cells[2] = SizeText(p.size);
        data.cells[3] = DateText(p.daysAgo);
    }
    void OnCheck(int row, bool checked) override {
        programs_[static_cast<size_t>(visible_[static_cast<size_t>(row)])].checked = checked;
        UpdateStatus();
    }
    void OnRowButton(int row) override {
        status_ = L"Uninstall: " + programs_[static_cast<size_t>(visible_[static_cast<size_t>(row)])].name;
        InvalidateStatus();
    }
    void OnActivate(int row) override { OnRowButton(row); }
    void OnSort(int column, SortOrder order) override {
        sortColumn_ = column;
        sortOrder_ = order;
        Filter();
    }

    void Filter() {
        const std::wstring text = search_.TrimmedText();
        const int category = categories_.current();
        visible_.clear();
        for (size_t i = 0; i < programs_.size(); ++i) {
            const FakeProgram& p = programs_[i];
            const bool shown = category == 4 ? p.update
                               : p.update    ? false
                               : category == 1 ? p.daysAgo >= 0 && p.daysAgo <= 10
                               : category == 2 ? p.size > 52428800ull
                               : category == 3 ? p.rarelyUsed
                                               : true;
            if (shown && ContainsIgnoringCase(p.name, text)) visible_.push_back(static_cast<int>(i));
        }
        std::stable_sort(visible_.begin(), visible_.end(), [this](int a, int b) {
            const FakeProgram& x = programs_[static_cast<size_t>(a)];
            const FakeProgram& y = programs_[static_cast<size_t>(b)];
            return sortOrder_ == SortOrder::Descending ? Compare(y, x) < 0 : Compare(x, y) < 0;
        });
        list_.SetRowCount(static_cast<int>(visible_.size()), true);
        UpdateStatus();
    }

    int Compare(const FakeProgram& x, const FakeProgram& y) const {
        if (sortColumn_ == 2) return x.size < y.size ? -1 : x.size > y.size ? 1 : 0;
        if (sortColumn_ == 3) return x.daysAgo > y.daysAgo ? -1 : x.daysAgo < y.daysAgo ? 1 : 0;
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.name.c_str(), -1, y.name.c_str(), -1) - CSTR_EQUAL;
    }

    void UpdateStatus() {
        int checked = 0;
        for (int index : visible_) checked += programs_[static_cast<size_t>(index)].checked ? 1 : 0;
        status_ = std::to_wstring(visible_.size()) + L" programs";
        if (list_.checkBoxes()) status_ += L", " + std::to_wstring(checked) + L" checked";
        InvalidateStatus();
    }

    void InvalidateStatus() { ::InvalidateRect(hwnd(), &statusRect_, FALSE); }

    void ToggleMaximized() {
        maximized_ = !maximized_;
        if (maximized_) {
            ::GetWindowRect(hwnd(), &normal_);
            RECT work{};
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            ::SetWindowPos(hwnd(), nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top, SWP_NOZORDER);
        } else {
            ::SetWindowPos(hwnd(), nullptr, normal_.left, normal_.top, normal_.right - normal_.left,
                           normal_.bottom - normal_.top, SWP_NOZORDER);
        }
        title_.SetMaximized(maximized_);
        ApplyRoundedCorners(hwnd(), kCornerRadius, dpi_, maximized_);
    }

    int S(int value) const { return ScaleForDpi(value, dpi_); }

    void LayOut() {
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        const int w = client.right;
        const int h = client.bottom;
        title_.LayOut(w);
        const int titleHeight = title_.layout().bar.bottom;
        // Page buttons sit on the title area's bottom edge, after the caption.
        const int pageTop = titleHeight - S(30);
        const int captionEnd = S(10 + 16 + 8) + S(150);
        const int softwareWidth = pageSoftware_.PreferredWidth() + S(20);
        pageSoftware_.Move({captionEnd, pageTop, captionEnd + softwareWidth, titleHeight});
        const int pluginsWidth = pagePlugins_.PreferredWidth() + S(20);
        pagePlugins_.Move({captionEnd + softwareWidth + S(4), pageTop, captionEnd + softwareWidth + S(4) + pluginsWidth, titleHeight});

        // The search box sits in the title area, left of the caption buttons.
        const int searchWidth = S(200);
        const int searchHeight = S(26);
        const int searchRight = title_.layout().menu.left - S(10);
        const int searchTop = (titleHeight - searchHeight) / 2;
        search_.Move({searchRight - searchWidth, searchTop, searchRight, searchTop + searchHeight});

        const int margin = S(14);
        const int barTop = titleHeight + S(6);
        const int barHeight = S(36);
        categories_.Move({margin, barTop, w - margin, barTop + barHeight});

        const int footer = S(52);
        const int listTop = barTop + barHeight + S(8);
        list_.Move({margin, listTop, w - margin, h - footer});

        const int buttonHeight = S(30);
        const int buttonTop = h - footer + (footer - buttonHeight) / 2;
        int x = w - margin;
        for (ImageButton* button : {&uninstall_, &batch_, &view_, &disabled_}) {
            const int width = std::max(S(96), button->PreferredWidth());
            button->Move({x - width, buttonTop, x, buttonTop + buttonHeight});
            x -= width + S(8);
        }
        statusRect_ = {margin, h - footer, x, h - S(1)};
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }

    void Paint(HDC target) {
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        const PaintBuffer buffer(target, client);
        const HDC dc = buffer.dc();
        FillSolid(dc, client, palette::kWindow);
        title_.Paint(dc);
        const int line = std::max(1, dpi_ / 96);
        RECT footer{client.left, statusRect_.top, client.right, client.bottom};
        FillSolid(dc, footer, palette::kToolbar);
        FillSolid(dc, {client.left, footer.top, client.right, footer.top + line}, palette::kBorder);
        DrawTextLine(dc, status_, statusRect_, SharedFonts().Get(FontRole::Body, dpi_), palette::kTextSecondary);
        // The list's outline, so that it reads as one panel with its header.
        RECT list{};
        ::GetWindowRect(list_.hwnd(), &list);
        ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&list), 2);
        ::InflateRect(&list, line, line);
        FrameSolid(dc, list, palette::kBorder, line);
        PaintRoundedFrame(dc, client, kCornerRadius, dpi_, maximized_, palette::kWindowFrame);
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_NCHITTEST:
                return title_.HitTest(lParam, true);
            case WM_NCLBUTTONDBLCLK:
                if (wParam == HTCAPTION) {
                    ToggleMaximized();
                    return 0;
                }
                break;
            case WM_SIZE:
                if (wParam != SIZE_MINIMIZED) {
                    LayOut();
                    ApplyRoundedCorners(hwnd(), kCornerRadius, dpi_, maximized_);
                }
                return 0;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                const HDC dc = ::BeginPaint(hwnd(), &ps);
                Paint(dc);
                ::EndPaint(hwnd(), &ps);
                return 0;
            }
            case WM_ERASEBKGND:
                return 1;
            case WM_GETMINMAXINFO: {
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMinTrackSize = {S(640), S(400)};
                return 0;
            }
            case WM_DESTROY:
                ::PostQuitMessage(0);
                return 0;
            default:
                break;
        }
        return DefaultHandling(message, wParam, lParam);
    }

    int dpi_ = 96;
    bool maximized_ = false;
    RECT normal_{};
    RECT statusRect_{};
    std::wstring status_;
    std::vector<FakeProgram> programs_;
    std::vector<int> visible_;
    int sortColumn_ = 0;
    SortOrder sortOrder_ = SortOrder::Ascending;
    ImageListOwner rowIcons_, largeIcons_;
    TitleBar title_;
    ImageButton pageSoftware_, pagePlugins_;
    CategoryBar categories_;
    SearchBox search_;
    VirtualListView list_;
    ImageButton uninstall_, batch_, view_, disabled_;
};

}  // namespace
}  // namespace tarvo::gallery

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    int dpi = tarvo::ui::ScreenDpi();
    bool icons = false, batch = false;
    std::wstring search;
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    for (int i = 1; argv && i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--dpi" && i + 1 < argc) dpi = std::max(96, static_cast<int>(std::wcstol(argv[++i], nullptr, 10)));
        else if (arg == L"--icons") icons = true;
        else if (arg == L"--batch") batch = true;
        else if (arg == L"--search" && i + 1 < argc) search = argv[++i];
    }
    if (argv) ::LocalFree(argv);
    tarvo::gallery::GalleryWindow window;
    if (!window.Create(dpi, icons, batch, search)) return 1;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(window.hwnd(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
