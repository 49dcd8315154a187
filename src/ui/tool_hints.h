#pragma once
// Hover hints for a window's controls: one tooltip window per owner, made on the first hint
// and destroyed with its owner (an owned pop-up goes when the owner goes).

#include <windows.h>

#include <string>

namespace tarvo::ui {

class ToolHints {
public:
    // The tooltip copies the text; nothing here has to outlive the call.
    void Add(HWND owner, HWND control, const std::wstring& text);
    void Update(HWND control, const std::wstring& text);

private:
    HWND owner_ = nullptr;
    HWND tip_ = nullptr;  // borrowed: its owner destroys it
};

}  // namespace tarvo::ui
