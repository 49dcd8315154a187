// A small self-registering COM server standing in for a program's own: regsvr32 calls
// DllRegisterServer, which registers one class whose in-process server is this very file,
// with a programmatic ID, the way installers register theirs. The test names the class
// identifier and programmatic ID in the environment so each run uses names of its own.
// It is another program's code, so it calls the registry directly.

#include <windows.h>

#include <string>

namespace {

HMODULE g_self = nullptr;

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[256] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, 256);
    return length == 0 || length >= 256 ? std::wstring() : std::wstring(buffer, length);
}

bool SetDefault(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG rc = ::RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    const std::wstring classId = Environment(L"TARVO_TEST_CLSID");
    const std::wstring progId = Environment(L"TARVO_TEST_PROGID");
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(g_self, path, MAX_PATH);
    if (classId.empty() || progId.empty() || length == 0 || length >= MAX_PATH) return E_FAIL;
    const std::wstring classKey = L"Software\\Classes\\CLSID\\" + classId;
    const bool ok = SetDefault(classKey, {}, L"Tarvo Test Server") &&
                    SetDefault(classKey + L"\\InprocServer32", {}, std::wstring(path, length)) &&
                    SetDefault(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
                    SetDefault(classKey + L"\\ProgID", {}, progId) &&
                    SetDefault(L"Software\\Classes\\" + progId, {}, L"Tarvo Test Server") &&
                    SetDefault(L"Software\\Classes\\" + progId + L"\\CLSID", {}, classId);
    return ok ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    const std::wstring classId = Environment(L"TARVO_TEST_CLSID");
    const std::wstring progId = Environment(L"TARVO_TEST_PROGID");
    if (classId.empty() || progId.empty()) return E_FAIL;
    // Leaves first: exactly the keys DllRegisterServer wrote.
    const std::wstring classKey = L"Software\\Classes\\CLSID\\" + classId;
    for (const std::wstring& key : {classKey + L"\\InprocServer32", classKey + L"\\ProgID", classKey,
                                    L"Software\\Classes\\" + progId + L"\\CLSID", L"Software\\Classes\\" + progId})
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, void** object) {
    if (object) *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_OK; }
