// UsageReport.dll: the statistics library's entry points, which the program calls when the
// library is present. This build records nothing and sends nothing anywhere.

#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

__declspec(dllexport) int __stdcall SetStatParam(const wchar_t*, const wchar_t*, const wchar_t*, int) { return 0; }
__declspec(dllexport) int __stdcall DoStatistic(const wchar_t*, const wchar_t*, int, int, int, int) { return 0; }
__declspec(dllexport) int __stdcall DoInstallStatistic(const wchar_t*, const wchar_t*) { return 0; }
__declspec(dllexport) int __stdcall DoUninstallStatistic(const wchar_t*, const wchar_t*) { return 0; }
__declspec(dllexport) int __stdcall PostLocalCache() { return 0; }

}  // extern "C"
