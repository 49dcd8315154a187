#include "shell/test_seam.h"

namespace tarvo::shell::test_seam {

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (LogEnabled()) {
        Log(L"message-box: " + caption + L" | " + text);
        return IDOK;
    }
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

}  // namespace tarvo::shell::test_seam
