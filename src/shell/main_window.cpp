#include "shell/main_window.h"

#include <shellapi.h>

namespace tarvo::shell {

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
    // Borderless: the window draws its own title bar and clips itself to rounded corners.
    if (!CreateTopLevel(kClassName, kCaption, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                        WS_EX_APPWINDOW, bounds))
        return false;
    FormCreate();
    return true;
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
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
        return DefaultHandling(message, wParam, lParam);
    case WM_TIMER:
        if (wParam == kTimerGetSoftware) Timer_GetSoftwareTimer();
        else if (wParam == kTimerCheckInstall) Timer_CheckInstallTimer();
        return 0;
    case UM_ACTIVATE:
        OnActivateRequest();
        return 0;
    case UM_FORCEDUNINSTALL:
        OnForcedUninstallRequest();
        return 0;
    case WM_COPYDATA:
        return lParam && OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_DESTROY:
        ::DragAcceptFiles(hwnd(), FALSE);
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
