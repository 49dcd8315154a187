#include "platform/message_exchange.h"

#include "platform/library.h"

namespace tarvo::platform {

LRESULT SendCopyData(HWND window, ULONG_PTR tag, const std::vector<BYTE>& bytes) noexcept {
    COPYDATASTRUCT data{};
    data.dwData = tag;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.empty() ? nullptr : const_cast<BYTE*>(bytes.data());
    return ::SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

bool AllowMessageFromLowerIntegrity(UINT message) noexcept {
    using ChangeFilter = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD kMsgFltAdd = 1;
    const auto change = GetProcAddressOf<ChangeFilter>(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter");
    return change && change(message, kMsgFltAdd);
}

}  // namespace tarvo::platform
