#include "platform/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace tarvo::platform {

std::optional<std::wstring> AskSaveFileName(HWND owner, const std::wstring& defaultName,
                                            const std::wstring& defaultExtension, const std::wstring& filter) {
    std::wstring filterBuffer = filter;
    for (wchar_t& c : filterBuffer)
        if (c == L'|') c = L'\0';
    filterBuffer.append(2, L'\0');
    std::vector<wchar_t> file(32768, L'\0');
    defaultName.copy(file.data(), std::min(defaultName.size(), file.size() - 1));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterBuffer.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetSaveFileNameW(&dialog)) return std::nullopt;
    return std::wstring(file.data());
}

}  // namespace tarvo::platform
