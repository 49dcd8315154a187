#pragma once
// The About window: the program's name, its own file version, what it is for, and the
// copyright line, with one button that closes it. Modal over the main window.

#include <windows.h>

#include <string>

#include "shell/control_ids.h"
#include "ui/frameless_dialog.h"
#include "ui/image_button.h"

namespace tarvo::shell {

class TfrmAbout final : public ui::FramelessDialog {
public:
    static constexpr const wchar_t* kClassName = L"TfrmAbout";
    static constexpr int kIdClose = control_ids::kAbout + 1;
    static constexpr int kIdOk = control_ids::kAbout + 2;

    explicit TfrmAbout(std::wstring version) : version_(std::move(version)) {}
    ~TfrmAbout() override;

    // Creates the window centred on `owner` (or the screen) and shows it.
    bool Create(HWND owner);

private:
    void OnPaint(HDC dc) override;
    void OnCommand(int id, int code) override;

    std::wstring version_;
    HICON icon_ = nullptr;  // shared resource icon, never destroyed
    ui::ImageButton close_, ok_;
};

// Opens the About window modally over `owner` and returns when it is closed.
void ShowAbout(HWND owner);

// A text of the About window's section of the language file.
[[nodiscard]] std::wstring AboutText(const std::wstring& control, const wchar_t* english);

}  // namespace tarvo::shell
