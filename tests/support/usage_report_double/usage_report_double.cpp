// Stands in for the statistics library UsageReport.dll in tests: every call appends one
// line with its arguments to UsageReport.log beside the DLL, so a test can read back what
// the program reported and in which order.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {
HMODULE g_self = nullptr;

void Record(const std::wstring& line) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(g_self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring logPath(path, length);
    logPath = logPath.substr(0, logPath.find_last_of(L'\\') + 1) + L"UsageReport.log";
    const HANDLE file = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::wstring withEnd = line + L"\n";
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), static_cast<int>(withEnd.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), static_cast<int>(withEnd.size()), bytes.data(), size,
                          nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::wstring Text(const wchar_t* text) { return text ? text : L"(null)"; }
}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

__declspec(dllexport) int __stdcall SetStatParam(const wchar_t* product, const wchar_t* version,
                                                 const wchar_t* vendor, int flags) {
    Record(L"SetStatParam " + Text(product) + L"|" + Text(version) + L"|" + Text(vendor) + L"|" +
           std::to_wstring(flags));
    return 1;
}

__declspec(dllexport) int __stdcall DoStatistic(const wchar_t* product, const wchar_t* code, int a, int b, int c,
                                                int d) {
    Record(L"DoStatistic " + Text(product) + L"|" + Text(code) + L"|" + std::to_wstring(a) + L"|" +
           std::to_wstring(b) + L"|" + std::to_wstring(c) + L"|" + std::to_wstring(d));
    return 1;
}

}  // extern "C"
