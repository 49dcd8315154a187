#include "platform/file_open_dialog.h"

#include <commdlg.h>

#include <vector>

namespace tarvo::platform {

std::optional<std::wstring> AskOpenFileName(HWND owner, const std::wstring& initialFolder,
                                            const std::wstring& filter, DWORD filterIndex) {
    std::wstring filterBuffer = filter;
    for (wchar_t& c : filterBuffer)
        if (c == L'|') c = L'\0';
    filterBuffer.append(2, L'\0');
    std::vector<wchar_t> file(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterBuffer.c_str();
    dialog.nFilterIndex = filterIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    // No dereferencing: a chosen shortcut comes back as the shortcut, which we resolve ourselves.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NODEREFERENCELINKS;
    if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::wstring(file.data());
}

}  // namespace tarvo::platform
