#include "shell/uninstalling_window.h"

#include <commctrl.h>
#include <algorithm>

#include <cmath>

#include "language/language.h"
#include "shell/test_seam.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/glyphs.h"
#include "ui/palette.h"
#include "ui/title_bar.h"
#include "ui/tool_hints.h"
#include "ui/translate_window.h"
#include "ui/modal_loop.h"
#include "ui/work_area.h"

namespace tarvo::shell {

namespace {

using language::GetText;
using uninstall::DialogPart;
namespace palette = ui::palette;

constexpr int kDesignWidth = 480;
constexpr int kDesignHeight = 270;
constexpr int kBandHeight = 32;  // the heading band with the title and the close button
constexpr int kMargin = 28;
constexpr UINT_PTR kStageTimer = 1;
constexpr UINT_PTR kSpinTimer = 2;
constexpr UINT kEndMessage = WM_APP + 0x41;  // ends the dialog once the current handler is done
constexpr COLORREF kSuccess = RGB(46, 160, 67);

std::wstring ApplicationTitle() { return GetText(L"Application_Title", L"Tarvo Uninstaller"); }

void DefaultNotice(HWND owner, const std::wstring& text) {
    test_seam::ShowMessageBox(owner, text, ApplicationTitle(), MB_OK | MB_ICONINFORMATION);
}

bool Contains(const RECT& r, POINT p) { return ::PtInRect(&r, p) != FALSE; }

}  // namespace

TfrmUninstalling::TfrmUninstalling(std::vector<const inventory::TSoftInfo*> entries, bool batchMode,
                                   bool createRestore, uninstall::TUninstallActions actions,
                                   uninstall::TForcedOpening forced)
    : session_(std::move(entries), batchMode, createRestore, *this, std::move(actions), std::move(forced)),
      title_(L"Tarvo Uninstall"),
      question_(L"Do you want to uninstall the selected program?"),
      checkLabel_(L"Create restore point before uninstalling (It will take some time)"),
      quietLabel_(L"Uninstall without the programs' own questions where possible"),
      progressTitle_(L"Create restore point before uninstalling."),
      progressDetail_(L"Create a restore point here and you can undo the changes if something unexpected happended."),
      finishedTitle_(L"Standard Uninstall finished."),
      scanTitle_(L"Powerful Scan."),
      scanDetail_(L"Click Powerful Scan to clean remnants of the program. Click Cancel to complete"),
      scanning_(L"Powerful Scanning"),
      closeHint_(L"Close"),
      notice_(&DefaultNotice) {
    // As designed: asking, everything of the later stages hidden.
    visible_.fill(false);
    for (const DialogPart part : {DialogPart::Question, DialogPart::CreateRestoreCheck, DialogPart::UninstallButton})
        visible_[static_cast<std::size_t>(part)] = true;
}

TfrmUninstalling::~TfrmUninstalling() { CloseDialog(); }

bool TfrmUninstalling::Create(HWND owner) {
    SetOwner(owner);
    SetFrameStyle({.bandHeight = kBandHeight, .dialogKeys = false});
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner)
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT centred = ui::CentredOver(area, SIZE{Scale(kDesignWidth), Scale(kDesignHeight)});
    const RECT bounds = ui::FitIntoWorkArea(centred, ui::WorkAreaNearest(centred));
    if (!CreateTopLevel(kClassName, title_, WS_POPUP | WS_CLIPCHILDREN, 0, bounds, owner)) return false;
    CreateControls();
    AddTranslations();
    return true;
}

void TfrmUninstalling::CreateControls() {
    const int buttonY = Scale(kDesignHeight - 50);
    const int buttonH = Scale(30);
    const int buttonW = Scale(116);
    const int gap = Scale(10);
    const int right = Scale(kDesignWidth - kMargin);
    auto face = [](ui::ButtonStyle style, std::wstring text) {
        ui::ButtonFace f;
        f.style = style;
        f.text = std::move(text);
        return f;
    };
    cancel_.Create(hwnd(), kIdCancel, RECT{right - buttonW, buttonY, right, buttonY + buttonH},
                   face(ui::ButtonStyle::Secondary, L"Cancel"), dpi());
    const RECT primary{right - 2 * buttonW - gap, buttonY, right - buttonW - gap, buttonY + buttonH};
    uninstall_.Create(hwnd(), kIdUninstall, primary, face(ui::ButtonStyle::Primary, L"Uninstall"), dpi());
    scan_.Create(hwnd(), kIdPowerfulScan, primary, face(ui::ButtonStyle::Primary, L"Powerful Scan"), dpi());
    scan_.Show(false);
    const int closeW = ui::TitleButtonWidth(dpi());
    ui::ButtonFace closeFace;
    closeFace.style = ui::ButtonStyle::CaptionClose;
    closeFace.glyph = ui::Glyph::Close;
    close_.Create(hwnd(), kIdClose, RECT{Scale(kDesignWidth) - closeW, 0, Scale(kDesignWidth), BandHeight()},
                  closeFace, dpi());
    close_.SetBackground(palette::kTitleBar);
}

void TfrmUninstalling::AddTranslations() {
    texts_ = std::make_unique<language::TTranslatableWindow>(language::AppLanguage(), L"frmUninstalling");
    auto label = [this](const wchar_t* name, std::wstring& text) {
        texts_->Add(ui::TextTarget(
            name, language::TranslationKind::Caption, [&text] { return language::TextList{text}; },
            [this, &text](const language::TextList& t) {
                text = t.at(0);
                Invalidate();
            }));
    };
    label(L"Label_Title", title_);
    label(L"Label_Question", question_);
    label(L"Label_CreateRestore", checkLabel_);
    label(L"Label_QuietBatch", quietLabel_);
    label(L"Label_ProgressTitle", progressTitle_);
    label(L"Label_ProgressDetail", progressDetail_);
    label(L"Label_FinishedTitle", finishedTitle_);
    label(L"Label_ScanTitle", scanTitle_);
    label(L"Label_ScanDetail", scanDetail_);
    label(L"Label_Scanning", scanning_);
    texts_->Add(ui::CaptionTarget(L"RdImageButton_Uninstall", uninstall_.hwnd()));
    texts_->Add(ui::CaptionTarget(L"RdImageButton_Cancel", cancel_.hwnd()));
    texts_->Add(ui::CaptionTarget(L"RdImageButton_PowerfulScan", scan_.hwnd()));
    texts_->Translate();
    closeHint_ = GetText(L"Close", L"Close");
    // Our buttons draw their face text; keep it in step with the translated window text.
    for (ui::ImageButton* button : {&uninstall_, &cancel_, &scan_}) {
        wchar_t text[128] = {};
        ::GetWindowTextW(button->hwnd(), text, 128);
        button->SetText(text);
    }
    ::SetWindowTextW(hwnd(), title_.c_str());

    ui::ToolHints().Add(hwnd(), close_.hwnd(), closeHint_);
}

void TfrmUninstalling::OnModalStart() {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::UpdateWindow(hwnd());
    session_.Shown();
}

bool TfrmUninstalling::Visible(DialogPart part) const noexcept { return visible_[static_cast<std::size_t>(part)]; }

void TfrmUninstalling::Invalidate() const {
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

// ---- IUninstallView ----

void TfrmUninstalling::ApplyStage(uninstall::TUninstallStage stage) {
    const uninstall::TStageLook look = uninstall::StageLook(stage);
    for (std::size_t i = 0; i < uninstall::kDialogPartCount; ++i)
        if (look.visible[i]) visible_[i] = *look.visible[i];
    if (look.title) title_ = *look.title;
    if (look.progressTitle) progressTitle_ = *look.progressTitle;
    if (look.progressDetail) progressDetail_ = *look.progressDetail;
    if (look.finishedTitle) finishedTitle_ = *look.finishedTitle;
    uninstall_.Show(Visible(DialogPart::UninstallButton));
    scan_.Show(Visible(DialogPart::ScanButton));
    if (hwnd()) ::SetWindowTextW(hwnd(), title_.c_str());
    Invalidate();
    if (hwnd()) ::UpdateWindow(hwnd());
    if (stageObserver_) stageObserver_(stage);
}

void TfrmUninstalling::SetCreateRestoreTicked(bool ticked) {
    ticked_ = ticked;
    Invalidate();
}

void TfrmUninstalling::SetQuietTicked(bool ticked) {
    quietTicked_ = ticked;
    Invalidate();
}

void TfrmUninstalling::ShowProgressTitle(const std::wstring& text) {
    progressTitle_ = text;
    visible_[static_cast<std::size_t>(DialogPart::ProgressTitle)] = true;
    Invalidate();
    if (hwnd()) ::UpdateWindow(hwnd());
}

void TfrmUninstalling::SetBusy(bool busy) {
    if (busy_ == busy || !hwnd()) return;
    busy_ = busy;
    if (busy)
        ::SetTimer(hwnd(), kSpinTimer, 80, nullptr);
    else
        ::KillTimer(hwnd(), kSpinTimer);
    Invalidate();
}

void TfrmUninstalling::EnableUninstall(bool enabled) {
    if (uninstall_.hwnd()) ::EnableWindow(uninstall_.hwnd(), enabled);
}

void TfrmUninstalling::EnableScan(bool enabled) {
    if (scan_.hwnd()) ::EnableWindow(scan_.hwnd(), enabled);
}

void TfrmUninstalling::StartTimer(unsigned milliseconds) {
    if (hwnd()) ::SetTimer(hwnd(), kStageTimer, milliseconds, nullptr);
}

void TfrmUninstalling::HideDialog() {
    if (hwnd()) ::ShowWindow(hwnd(), SW_HIDE);
}

void TfrmUninstalling::ShowNotice(const std::wstring& text) {
    const HWND application = owner() ? owner() : nullptr;
    if (owner()) ::EnableWindow(owner(), TRUE);
    notice_(application, text);
    if (application) ::SetForegroundWindow(application);
}

void TfrmUninstalling::ShowQuietWarning(const std::wstring& text) {
    test_seam::ShowMessageBox(hwnd(), text, ApplicationTitle(), MB_OK | MB_ICONINFORMATION);
}

void TfrmUninstalling::CloseDialog() {
    // Deferred: the session may ask from inside a click or timer handler of this window.
    if (hwnd()) ::PostMessageW(hwnd(), kEndMessage, 0, 0);
}

// ---- painting and input ----

RECT TfrmUninstalling::CheckArea() const noexcept {
    return RECT{Scale(kMargin), Scale(108), Scale(kDesignWidth - kMargin), Scale(132)};
}

RECT TfrmUninstalling::QuietArea() const noexcept {
    return RECT{Scale(kMargin), Scale(136), Scale(kDesignWidth - kMargin), Scale(160)};
}

bool TfrmUninstalling::QuietVisible() const noexcept {
    return Visible(DialogPart::CreateRestoreCheck) && session_.QuietOffered();
}

RECT TfrmUninstalling::BusyArea() const noexcept {
    return RECT{Scale(kDesignWidth - kMargin - 28), Scale(58), Scale(kDesignWidth - kMargin), Scale(86)};
}

void TfrmUninstalling::PaintCheckBox(HDC dc, const RECT& area, bool ticked, bool hot,
                                     const std::wstring& label) const {
    // Four looks: ticked or not, each plain or under the mouse.
    const int side = Scale(15);
    const int top = area.top + (area.bottom - area.top - side) / 2;
    const RECT box{area.left, top, area.left + side, top + side};
    const COLORREF border = hot ? palette::kAccentHot : palette::kCheckBorder;
    ui::FillSolid(dc, box, ticked ? (hot ? palette::kAccentHot : palette::kAccent) : palette::kWindow);
    ui::FrameSolid(dc, box, ticked ? (hot ? palette::kAccentHot : palette::kAccent) : border);
    if (ticked) {
        const int w = std::max(1, Scale(2));
        ui::DrawLineSolid(dc, POINT{box.left + Scale(3), box.top + side / 2},
                          POINT{box.left + side * 2 / 5, box.bottom - Scale(4)}, palette::kAccentText, w);
        ui::DrawLineSolid(dc, POINT{box.left + side * 2 / 5, box.bottom - Scale(4)},
                          POINT{box.right - Scale(3), box.top + Scale(3)}, palette::kAccentText, w);
    }
    RECT text{box.right + Scale(8), area.top, area.right, area.bottom};
    ::SetTextColor(dc, hot ? palette::kAccent : palette::kText);
    ::DrawTextW(dc, label.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TfrmUninstalling::PaintBusy(HDC dc) const {
    // A pointer turning around a ring: twelve steps a turn.
    const RECT r = BusyArea();
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int radius = (r.right - r.left) / 2 - Scale(2);
    const HBRUSH hollow = static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));
    const ui::unique_hpen ring(::CreatePen(PS_SOLID, std::max(1, Scale(2)), palette::kBorder));
    {
        const ui::SelectedObject pen(dc, ring.get());
        const ui::SelectedObject brush(dc, hollow);
        ::Ellipse(dc, cx - radius, cy - radius, cx + radius, cy + radius);
    }
    const double angle = spinStep_ * (2 * 3.14159265358979 / 12);
    const POINT tip{cx + static_cast<LONG>(std::lround(radius * std::sin(angle))),
                    cy - static_cast<LONG>(std::lround(radius * std::cos(angle)))};
    ui::DrawLineSolid(dc, POINT{cx, cy}, tip, palette::kAccent, std::max(1, Scale(3)));
}

void TfrmUninstalling::OnPaint(HDC target) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    PaintBodyAndHeading(dc, client, title_);
    PaintFrame(dc, client);
    ::SetBkMode(dc, TRANSPARENT);
    auto& fonts = ui::SharedFonts();

    auto text = [&](const std::wstring& s, RECT r, ui::FontRole role, COLORREF color, UINT format) {
        const ui::SelectedObject font(dc, fonts.Get(role, dpi()));
        ::SetTextColor(dc, color);
        ::DrawTextW(dc, s.c_str(), -1, &r, format | DT_NOPREFIX);
    };
    const UINT line = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    const int left = Scale(kMargin), right = Scale(kDesignWidth - kMargin);

    if (Visible(DialogPart::Question))
        text(question_, RECT{left, Scale(60), right, Scale(90)}, ui::FontRole::Heading, palette::kText, line);
    if (Visible(DialogPart::CreateRestoreCheck)) {
        const ui::SelectedObject font(dc, fonts.Get(ui::FontRole::Body, dpi()));
        PaintCheckBox(dc, CheckArea(), ticked_, checkHot_, checkLabel_);
        if (QuietVisible()) PaintCheckBox(dc, QuietArea(), quietTicked_, quietHot_, quietLabel_);
    }
    const int textRight = busy_ ? BusyArea().left - Scale(8) : right;
    if (Visible(DialogPart::ProgressTitle))
        text(progressTitle_, RECT{left, Scale(58), textRight, Scale(86)}, ui::FontRole::Emphasis, palette::kText, line);
    if (Visible(DialogPart::ProgressDetail))
        text(progressDetail_, RECT{left, Scale(94), right, Scale(150)}, ui::FontRole::Body, palette::kTextSecondary,
             DT_WORDBREAK);
    if (Visible(DialogPart::FinishedIcon)) {
        const RECT icon{left, Scale(60), left + Scale(22), Scale(82)};
        ui::FillRounded(dc, icon, Scale(11), kSuccess, kSuccess);
        const int w = std::max(1, Scale(2));
        ui::DrawLineSolid(dc, POINT{icon.left + Scale(5), icon.top + Scale(11)},
                          POINT{icon.left + Scale(9), icon.top + Scale(15)}, palette::kAccentText, w);
        ui::DrawLineSolid(dc, POINT{icon.left + Scale(9), icon.top + Scale(15)},
                          POINT{icon.left + Scale(17), icon.top + Scale(7)}, palette::kAccentText, w);
    }
    if (Visible(DialogPart::FinishedTitle))
        text(finishedTitle_, RECT{left + Scale(32), Scale(58), right, Scale(84)}, ui::FontRole::Heading, palette::kText,
             line);
    if (Visible(DialogPart::ScanIcon)) {
        const RECT icon{left, Scale(108), left + Scale(22), Scale(130)};
        ui::FillRounded(dc, icon, Scale(11), palette::kAccent, palette::kAccent);
        ui::DrawGlyph(dc, icon, ui::Glyph::Search, palette::kAccentText, dpi());
    }
    if (Visible(DialogPart::ScanTitle))
        text(scanTitle_, RECT{left + Scale(32), Scale(106), right, Scale(130)}, ui::FontRole::Emphasis, palette::kText,
             line);
    if (Visible(DialogPart::ScanDetail))
        text(scanDetail_, RECT{left + Scale(32), Scale(134), right, Scale(180)}, ui::FontRole::Body,
             palette::kTextSecondary, DT_WORDBREAK);
    if (Visible(DialogPart::ScanningLabel))
        text(scanning_, RECT{left, Scale(58), textRight, Scale(86)}, ui::FontRole::Heading, palette::kText, line);
    if (busy_) PaintBusy(dc);
}

void TfrmUninstalling::OnMouseMove(POINT point) {
    const bool hot = Visible(DialogPart::CreateRestoreCheck) && Contains(CheckArea(), point);
    const bool quietHot = QuietVisible() && Contains(QuietArea(), point);
    if (hot == checkHot_ && quietHot == quietHot_) return;
    checkHot_ = hot;
    quietHot_ = quietHot;
    Invalidate();
}

void TfrmUninstalling::OnMouseLeave() {
    if (!checkHot_ && !quietHot_) return;
    checkHot_ = quietHot_ = false;
    Invalidate();
}

void TfrmUninstalling::OnMouseDown(POINT point, bool doubleClick) {
    if (doubleClick) return;
    if (Visible(DialogPart::CreateRestoreCheck) && Contains(CheckArea(), point)) session_.ToggleCreateRestore();
    if (QuietVisible() && Contains(QuietArea(), point)) session_.ToggleQuiet();
}

void TfrmUninstalling::OnCommand(int id, int /*code*/) {
    switch (id) {
    case kIdUninstall: session_.UninstallClicked(); break;
    case kIdPowerfulScan: session_.ScanClicked(); break;
    case kIdCancel:
    case kIdClose:
    case IDCANCEL: session_.CancelClicked(); break;
    default: break;
    }
}

void TfrmUninstalling::OnClose() { session_.CancelClicked(); }


void TfrmUninstalling::OnTimer(UINT_PTR id) {
    if (id == kStageTimer) {
        ::KillTimer(hwnd(), kStageTimer);  // one shot
        session_.TimerFired();
    } else if (id == kSpinTimer) {
        spinStep_ = (spinStep_ + 1) % 12;
        const RECT busy = BusyArea();
        ::InvalidateRect(hwnd(), &busy, FALSE);
    }
}

std::optional<LRESULT> TfrmUninstalling::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    switch (message) {
    case kEndMessage:
        ended_ = true;
        return 0;
    default:
        return std::nullopt;
    }
}

}  // namespace tarvo::shell
