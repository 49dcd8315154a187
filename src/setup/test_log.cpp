#include "setup/test_log.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/folders.h"

namespace tarvo::setup::test_log {

namespace {
std::wstring LogPath() { return platform::GetEnvironmentString(L"TARVO_TEST_LOG"); }

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                              nullptr, nullptr);
    return bytes;
}
}  // namespace

bool LogEnabled() { return !LogPath().empty(); }

void Log(const std::wstring& line) {
    const std::wstring path = LogPath();
    if (path.empty()) return;
    const platform::unique_hfile file = platform::CreateFileOf(path, FILE_APPEND_DATA,
                                                               FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
    if (!file) return;
    const std::string bytes = Utf8(line + L"\n");
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool DeniesAdministrator() { return platform::GetEnvironmentString(L"TARVO_TEST_NOT_ADMIN") == L"1"; }

}  // namespace tarvo::setup::test_log
