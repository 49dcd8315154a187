// ShellWatch32.dll / ShellWatch64.dll: the Explorer and Control Panel hook's place in the
// installation. It registers nothing and serves no class, so regsvr32 on it succeeds and
// Explorer never loads it.

#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
    return TRUE;
}

__declspec(dllexport) HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID, void** out) {
    if (out) *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT __stdcall DllCanUnloadNow() { return S_OK; }
__declspec(dllexport) HRESULT __stdcall DllRegisterServer() { return S_OK; }
__declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return S_OK; }

}  // extern "C"
