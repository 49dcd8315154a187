#include "ui/tool_hints.h"

#include <commctrl.h>

namespace tarvo::ui {

namespace {

TOOLINFOW ToolFor(HWND owner, HWND control, const std::wstring& text) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    return tool;
}

}  // namespace

void ToolHints::Add(HWND owner, HWND control, const std::wstring& text) {
    if (!tip_ || owner != owner_) {
        owner_ = owner;
        tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }
    if (!tip_) return;
    TOOLINFOW tool = ToolFor(owner_, control, text);
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolHints::Update(HWND control, const std::wstring& text) {
    if (!tip_) return;
    TOOLINFOW tool = ToolFor(owner_, control, text);
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace tarvo::ui
