#pragma once

#include "ui/window_base.h"

namespace tarvo::shell {

// The program's main window. Other processes find it by this class name and caption.
class TfrmTarvoUninstall final : public ui::WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TfrmTarvoUninstall";
    static constexpr const wchar_t* kCaption = L"Uninstaller";
    static constexpr int kDesignWidth = 870;
    static constexpr int kDesignHeight = 570;

    bool Create();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc, const RECT& client);
};

// Centres a window of the given size on the work area of the primary monitor.
[[nodiscard]] RECT CenteredOnWorkArea(int width, int height) noexcept;

}  // namespace tarvo::shell
