#include "shell/plugin_vote_window.h"

#include <cmath>
#include <thread>

#include "language/language.h"
#include "shell/test_seam.h"
#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/modal_loop.h"
#include "ui/palette.h"
#include "ui/title_bar.h"
#include "ui/title_bar_layout.h"

namespace tarvo::shell {

namespace palette = ui::palette;

namespace {

std::wstring VoteText(const std::wstring& control, const wchar_t* english) {
    return language::AppLanguage().ReadText(L"Uninstaller_frmPluginVote", control + L".Caption", english);
}
std::wstring Title() { return language::GetText(L"Application_Title", L"Tarvo Uninstaller"); }

constexpr COLORREF kStarLit = RGB(255, 176, 0);
constexpr COLORREF kStarDim = RGB(214, 214, 214);

}  // namespace

TfrmPluginVote::TfrmPluginVote(addons::TPluginItem& item, addons::TAllBrowserCleaner& cleaner, std::wstring server)
    : cleaner_(cleaner), server_(std::move(server)), exchange_(std::make_shared<Exchange>()) {
    vote_.Prepare(item);
}

TfrmPluginVote::~TfrmPluginVote() { CloseDialog(); }

bool TfrmPluginVote::Create(HWND owner) {
    SetOwner(owner);
    SetFrameStyle({.bandHeight = kBandHeight});
    const RECT bounds = ui::CentredOn(owner, Scale(kDesignWidth), Scale(kDesignHeight));
    if (!CreateTopLevel(kClassName, VoteText(L"TfrmPluginVote", L"Vote"), WS_POPUP | WS_CLIPCHILDREN, 0, bounds, owner))
        return false;
    CreateControls();
    UpdateControls();
    ::ShowWindow(hwnd(), SW_SHOW);
    return true;
}

void TfrmPluginVote::CreateControls() {
    const int width = Scale(kDesignWidth);
    ui::CreateHeadingCloseButton(close_, hwnd(), kIdClose, RECT{width - ui::TitleButtonWidth(dpi()), 0, width, Scale(kBandHeight)},
                                 dpi(), language::GetText(L"Close", L"Close"));
    // Level buttons under the stars, one per star.
    for (int i = 0; i < 5; ++i) {
        const RECT star = StarRect(i);
        const int centre = (star.left + star.right) / 2;
        levels_[i].Create(hwnd(), kIdLevel + i,
                          RECT{centre - Scale(30), star.bottom + Scale(6), centre + Scale(30), star.bottom + Scale(30)},
                          {.style = ui::ButtonStyle::Secondary,
                           .text = VoteText(L"RdImageButton_Star" + std::to_wstring(i + 1),
                                            (std::to_wstring(i + 1) + L" Star").c_str())},
                          dpi());
    }
    voteButton_.Create(hwnd(), kIdVote,
                       RECT{width - Scale(16 + 128), Scale(kDesignHeight - 48), width - Scale(16), Scale(kDesignHeight - 16)},
                       {.style = ui::ButtonStyle::Primary, .text = VoteText(L"RdImageButton_Vote", L"Vote")}, dpi());
}

RECT TfrmPluginVote::StarRect(int index) const {
    const int size = Scale(40), gap = Scale(28);
    const int left = (Scale(kDesignWidth) - 5 * size - 4 * gap) / 2 + index * (size + gap);
    const int top = Scale(kBandHeight + 76);
    return {left, top, left + size, top + size};
}

int TfrmPluginVote::StarAt(POINT point) const {
    for (int i = 0; i < 5; ++i) {
        const RECT r = StarRect(i);
        if (::PtInRect(&r, point)) return i + 1;
    }
    return 0;
}

void TfrmPluginVote::UpdateControls() {
    const int lit = vote_.LitStars(0);
    for (int i = 0; i < 5; ++i) {
        ::EnableWindow(levels_[i].hwnd(), !vote_.Voted());
        levels_[i].SetChecked(lit == i + 1);
    }
    ::EnableWindow(voteButton_.hwnd(), vote_.VoteEnabled());
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfrmPluginVote::ShowChoosing(bool shown) {
    for (auto& level : levels_) level.Show(shown);
    if (shown)
        ::KillTimer(hwnd(), kAnimationTimer);
    else
        ::SetTimer(hwnd(), kAnimationTimer, 120, nullptr);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfrmPluginVote::PressVote() {
    const auto address = vote_.BeginSend(server_);
    if (!address) {
        if (!vote_.Voted())
            test_seam::ShowMessageBox(hwnd(), language::GetText(L"FuncVoteMarkSelectMsgBox", L"Please select a mark to vote"),
                                      Title(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShowChoosing(false);
    UpdateControls();
    // TVoteThread: sends the vote and posts its result code. The window may be gone by then;
    // all it shares with the window is the exchange, which it keeps alive itself.
    std::thread([window = hwnd(), address = *address, exchange = exchange_] {
        online::VoteReply reply;
        try {
            reply = online::SendVote(address);
        } catch (...) {
            reply = {online::voteNoBody, {}};
        }
        {
            const std::lock_guard guard(exchange->lock);
            exchange->reply = reply;
        }
        (void)::PostMessageW(window, UM_VOTEDONE, static_cast<WPARAM>(reply.code), 0);
    }).detach();
}

void TfrmPluginVote::OnVoteDone() {
    online::VoteReply reply;
    {
        const std::lock_guard guard(exchange_->lock);
        reply = exchange_->reply;
    }
    if (vote_.Finish(reply, cleaner_)) {
        accepted_ = true;
        CloseDialog();
        return;
    }
    ShowChoosing(true);
    UpdateControls();
    test_seam::ShowMessageBox(hwnd(),
                              language::GetText(L"FuncVoteFailedMsgBox",
                                                L"Vote failed, please check the network connection and try again"),
                              Title(), MB_OK | MB_ICONWARNING);
}

void TfrmPluginVote::OnCommand(int id, int /*code*/) {
    if (id == kIdClose) {
        CloseDialog();
    } else if (id == kIdVote) {
        PressVote();
    } else if (id >= kIdLevel && id < kIdLevel + 5) {
        vote_.Choose(id - kIdLevel + 1);
        UpdateControls();
    }
}

void TfrmPluginVote::OnTimer(UINT_PTR id) {
    if (id != kAnimationTimer) return;
    spinner_ = (spinner_ + 1) % 8;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfrmPluginVote::OnMouseMove(POINT at) {
    if (vote_.Voted() || vote_.Sending()) return;
    const int star = StarAt(at);
    if (star != hover_) {
        hover_ = star;
        ::InvalidateRect(hwnd(), nullptr, FALSE);
    }
}

void TfrmPluginVote::OnMouseLeave() {
    if (hover_ == 0) return;
    hover_ = 0;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TfrmPluginVote::OnMouseDown(POINT at, bool doubleClick) {
    if (doubleClick) return;
    const int star = StarAt(at);
    if (star == 0 || vote_.Sending()) return;
    vote_.Choose(star);
    UpdateControls();
}

std::optional<LRESULT> TfrmPluginVote::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    switch (message) {
    case UM_VOTEDONE:
        OnVoteDone();
        return 0;
    default:
        return std::nullopt;
    }
}

void TfrmPluginVote::OnPaint(HDC target) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    PaintBodyAndHeading(dc, client, VoteText(L"TfrmPluginVote", L"Vote"));
    auto& fonts = ui::SharedFonts();
    const int margin = Scale(16);

    const addons::TPluginItem* item = vote_.Item();
    if (vote_.Sending()) {
        // The waiting panel: a turning pointer and its text, centred.
        const int cx = client.right / 2, cy = Scale(kBandHeight + 80);
        for (int i = 0; i < 8; ++i) {
            const double angle = i * 3.14159265 / 4;
            const int x = cx + static_cast<int>(std::lround(std::cos(angle) * Scale(14)));
            const int y = cy + static_cast<int>(std::lround(std::sin(angle) * Scale(14)));
            const int r = Scale(3);
            ui::FillSolid(dc, RECT{x - r, y - r, x + r, y + r}, i == spinner_ ? palette::kAccent : kStarDim);
        }
        ui::DrawTextLine(dc, VoteText(L"Label_Waiting", L"Vote submitting, please wait a moment..."),
                         RECT{margin, cy + Scale(28), margin + Scale(375), cy + Scale(52)}, fonts.Get(ui::FontRole::Body, dpi()),
                         palette::kText, DT_CENTER);
    } else {
        ui::DrawTextLine(dc, item ? item->Name : std::wstring(), RECT{margin, Scale(kBandHeight + 12), margin + Scale(380), Scale(kBandHeight + 36)},
                         fonts.Get(ui::FontRole::Emphasis, dpi()), palette::kText);
        const std::wstring question = vote_.Voted()
                                          ? language::GetText(L"FuncVoteHavedVote", L"You have already voted")
                                          : language::GetText(L"FuncVoteConfire", L"How do you think about this software:");
        ui::DrawTextLine(dc, question, RECT{margin, Scale(kBandHeight + 40), margin + Scale(380), Scale(kBandHeight + 62)},
                         fonts.Get(ui::FontRole::Body, dpi()), palette::kTextSecondary);
        const int lit = vote_.LitStars(hover_);
        for (int i = 0; i < 5; ++i) {
            const RECT r = StarRect(i);
            const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0 + Scale(2);
            const double outer = (r.right - r.left) / 2.0, inner = outer * 0.42;
            POINT points[10];
            for (int p = 0; p < 10; ++p) {
                const double angle = -3.14159265 / 2 + p * 3.14159265 / 5;
                const double radius = p % 2 == 0 ? outer : inner;
                points[p] = {static_cast<LONG>(std::lround(cx + std::cos(angle) * radius)),
                             static_cast<LONG>(std::lround(cy + std::sin(angle) * radius))};
            }
            const COLORREF color = i < lit ? kStarLit : kStarDim;
            const ui::unique_hbrush brush(::CreateSolidBrush(color));
            const ui::unique_hpen pen(::CreatePen(PS_SOLID, 1, color));
            const ui::SelectedObject selectBrush(dc, brush.get());
            const ui::SelectedObject selectPen(dc, pen.get());
            ::Polygon(dc, points, 10);
        }
    }
    PaintFrame(dc, client);
}



}  // namespace tarvo::shell
