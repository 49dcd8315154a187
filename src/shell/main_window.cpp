#include "shell/main_window.h"

namespace tarvo::shell {

namespace {
constexpr wchar_t kApplicationTitle[] = L"Tarvo Uninstaller";
}

RECT CenteredOnWorkArea(int width, int height) noexcept {
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + ((work.right - work.left) - width) / 2;
    const int top = work.top + ((work.bottom - work.top) - height) / 2;
    return RECT{left, top, left + width, top + height};
}

bool TfrmTarvoUninstall::Create() {
    const int dpi = ui::ScreenDpi();
    const RECT bounds = CenteredOnWorkArea(ui::ScaleForDpi(kDesignWidth, dpi),
                                           ui::ScaleForDpi(kDesignHeight, dpi));
    return CreateTopLevel(kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_APPWINDOW,
                          bounds);
}

LRESULT TfrmTarvoUninstall::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(hwnd(), &ps);
        RECT client;
        ::GetClientRect(hwnd(), &client);
        Paint(dc, client);
        ::EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void TfrmTarvoUninstall::Paint(HDC dc, const RECT& client) {
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const int dpi = ui::ScreenDpi();
    RECT title{client.left, client.top, client.right, client.top + ui::ScaleForDpi(48, dpi)};
    const HBRUSH band = ::CreateSolidBrush(RGB(0x1f, 0x5f, 0xa8));
    ::FillRect(dc, &title, band);
    ::DeleteObject(band);

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -ui::ScaleForDpi(16, dpi);
    metrics.lfMessageFont.lfWeight = FW_SEMIBOLD;
    const HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
    const HGDIOBJ old = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    title.left += ui::ScaleForDpi(16, dpi);
    ::DrawTextW(dc, kApplicationTitle, -1, &title, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
}

}  // namespace tarvo::shell
