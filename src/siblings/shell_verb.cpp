// ShellVerb32.dll / ShellVerb64.dll: the Explorer context-menu entry "Uninstall with Tarvo
// Uninstaller" on files, shortcuts and folders. Choosing it leaves the path in ShellVerb.dat
// in the user's data folder and tells the running program (UM_SHELLVERB), or starts the
// installed program with "ShellVerb". Built for both architectures, so it uses nothing but
// the system's own libraries.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

namespace {

// {6F3B2A1D-4C5E-4B7A-9D20-3E8F1C7A5B41}
constexpr CLSID kClassId = {0x6f3b2a1d, 0x4c5e, 0x4b7a, {0x9d, 0x20, 0x3e, 0x8f, 0x1c, 0x7a, 0x5b, 0x41}};
constexpr const wchar_t* kClassIdText = L"{6F3B2A1D-4C5E-4B7A-9D20-3E8F1C7A5B41}";
constexpr const wchar_t* kHandlerName = L"TarvoUninstaller";
constexpr const wchar_t* kVerb = L"TarvoUninstall";
constexpr const wchar_t* kOwnUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarvoUninstall";
constexpr UINT kShellVerbMessage = 0x7E9;
// Where Explorer offers the entry: every file (shortcuts included) and every folder.
constexpr const wchar_t* kHandlerRoots[] = {L"*", L"lnkfile", L"Directory", L"Folder"};

HMODULE g_self = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(g_self, path, MAX_PATH);
    std::wstring text(path, length);
    return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring DataFolder() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return {};
    return std::wstring(appData) + L"\\Tarvo\\Tarvo Uninstaller";
}

// The entry's text from the language the program is set to (its files are UTF-8 INI text
// beside this library), English when anything is missing.
std::wstring MenuText() {
    std::wstring text = L"Uninstall with Tarvo Uninstaller";
    wchar_t language[128] = {};
    ::GetPrivateProfileStringW(L"Main", L"Language", L"English", language, 128,
                               (DataFolder() + L"\\Main.ini").c_str());
    const std::wstring file = OwnFolder() + L"Language\\" + language + L".lng";
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return text;
    std::string bytes(1 << 20, '\0');
    DWORD read = 0;
    const BOOL ok = ::ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(handle);
    if (!ok) return text;
    bytes.resize(read);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    bool inSection = false;
    std::size_t start = 0;
    while (start < wide.size()) {
        std::size_t end = wide.find(L'\n', start);
        if (end == std::wstring::npos) end = wide.size();
        std::wstring line = wide.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty() && line[0] == L'[') inSection = line == L"[ShellVerb]";
        else if (inSection && line.rfind(L"MenuText=", 0) == 0 && line.size() > 9) return line.substr(9);
    }
    return text;
}

bool WriteHandOffFile(const std::wstring& path) {
    const std::wstring folder = DataFolder();
    if (folder.empty()) return false;
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    const HANDLE file = ::CreateFileW((folder + L"\\ShellVerb.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const std::wstring text = L"\xFEFF" + path;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
    return ok != FALSE;
}

std::wstring InstalledProgram() {
    HKEY key = nullptr;
    // The program is 32-bit: its uninstall key lives in the 32-bit view whatever our bitness.
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kOwnUninstallKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return {};
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = ::RegQueryValueExW(key, L"InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::wstring(path) : std::wstring();
}

void HandOff(const std::wstring& path) {
    if (path.empty() || !WriteHandOffFile(path)) return;
    if (const HWND running = ::FindWindowW(L"TfrmTarvoUninstall", L"Uninstaller")) {
        ::PostMessageW(running, kShellVerbMessage, 0, 0);
        return;
    }
    const std::wstring program = InstalledProgram();
    if (!program.empty()) ::ShellExecuteW(nullptr, L"open", program.c_str(), L"ShellVerb", nullptr, SW_SHOWNORMAL);
}

class ContextMenu final : public IShellExtInit, public IContextMenu {
public:
    ContextMenu() { ++g_objects; }
    ~ContextMenu() { --g_objects; }
    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit)) *out = static_cast<IShellExtInit*>(this);
        else if (IsEqualIID(iid, IID_IContextMenu)) *out = static_cast<IContextMenu*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references_); }
    STDMETHODIMP_(ULONG) Release() override {
        const long left = --references_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) override {
        if (!data) return E_INVALIDARG;
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (FAILED(data->GetData(&format, &medium))) return E_INVALIDARG;
        HRESULT result = E_INVALIDARG;
        if (const auto drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal))) {
            // One program at a time: the first item chosen is the one handed over.
            wchar_t path[MAX_PATH] = {};
            if (::DragQueryFileW(drop, 0, path, MAX_PATH)) {
                path_ = path;
                result = S_OK;
            }
            ::GlobalUnlock(medium.hGlobal);
        }
        ::ReleaseStgMedium(&medium);
        return result;
    }

    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT, UINT flags) override {
        if (flags & CMF_DEFAULTONLY) return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
        const std::wstring text = MenuText();
        if (!::InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, firstCommand, text.c_str())) return E_FAIL;
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
    }

    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override {
        if (!info) return E_INVALIDARG;
        if (HIWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) != 0) {
            const bool ours = info->cbSize >= sizeof(CMINVOKECOMMANDINFOEX) && (info->fMask & CMIC_MASK_UNICODE) &&
                              reinterpret_cast<CMINVOKECOMMANDINFOEX*>(info)->lpVerbW &&
                              ::lstrcmpiW(reinterpret_cast<CMINVOKECOMMANDINFOEX*>(info)->lpVerbW, kVerb) == 0;
            if (!ours && ::lstrcmpiA(info->lpVerb, "TarvoUninstall") != 0) return E_INVALIDARG;
        } else if (LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)) != 0) {
            return E_INVALIDARG;
        }
        HandOff(path_);
        return S_OK;
    }

    STDMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT*, LPSTR name, UINT size) override {
        if (command != 0 || !name || size == 0) return E_INVALIDARG;
        if (type == GCS_VERBW) {
            ::lstrcpynW(reinterpret_cast<wchar_t*>(name), kVerb, static_cast<int>(size));
            return S_OK;
        }
        if (type == GCS_VERBA) {
            ::lstrcpynA(name, "TarvoUninstall", static_cast<int>(size));
            return S_OK;
        }
        return E_NOTIMPL;
    }

private:
    std::atomic<long> references_{1};
    std::wstring path_;
};

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* menu = new (std::nothrow) ContextMenu;
        if (!menu) return E_OUTOFMEMORY;
        const HRESULT result = menu->QueryInterface(iid, out);
        menu->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }
};
ClassFactory g_factory;

LONG SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    LONG result = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return result;
}

// The shared keys above our handler keys ("Directory\shellex" …) that registering had to
// create are listed under our class key, so unregistering removes those and no other.
constexpr const wchar_t* kCreatedKeysValue = L"CreatedKeys";

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

void NoteMissingParents(const std::wstring& path, std::vector<std::wstring>& created) {
    for (std::size_t end = path.find(L'\\'); end != std::wstring::npos; end = path.find(L'\\', end + 1)) {
        const std::wstring prefix = path.substr(0, end);
        if (!KeyExists(prefix) && std::find(created.begin(), created.end(), prefix) == created.end())
            created.push_back(prefix);
    }
}

std::vector<std::wstring> ReadCreatedKeys(const std::wstring& classKey) {
    std::vector<std::wstring> keys;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, classKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return keys;
    wchar_t text[4096] = {};
    DWORD size = sizeof text - 2 * sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = ::RegQueryValueExW(key, kCreatedKeysValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_MULTI_SZ) return keys;
    for (const wchar_t* at = text; *at; at += std::wcslen(at) + 1) keys.emplace_back(at);
    return keys;
}

void WriteCreatedKeys(const std::wstring& classKey, const std::vector<std::wstring>& keys) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, classKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    std::wstring value;
    for (const auto& path : keys) value += path + L'\0';
    value += L'\0';
    ::RegSetValueExW(key, kCreatedKeysValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(value.data()),
                     static_cast<DWORD>(value.size() * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

// Innermost first, and only a key nothing else has come to use.
void DeleteCreatedKeys(const std::vector<std::wstring>& keys) {
    for (auto path = keys.rbegin(); path != keys.rend(); ++path) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path->c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
        DWORD subkeys = 0, values = 0;
        const LONG result = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                               nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(key);
        if (result == ERROR_SUCCESS && subkeys == 0 && values == 0) ::RegDeleteKeyW(HKEY_CLASSES_ROOT, path->c_str());
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

__declspec(dllexport) HRESULT __stdcall DllGetClassObject(REFCLSID classId, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(classId, kClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

__declspec(dllexport) HRESULT __stdcall DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

__declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
    wchar_t server[MAX_PATH] = {};
    if (!::GetModuleFileNameW(g_self, server, MAX_PATH)) return E_FAIL;
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassIdText;
    std::vector<std::wstring> created = ReadCreatedKeys(classKey);
    for (const wchar_t* root : kHandlerRoots)
        NoteMissingParents(std::wstring(root) + L"\\shellex\\ContextMenuHandlers\\" + kHandlerName, created);
    LONG result = SetText(classKey, nullptr, L"Tarvo Uninstaller context menu");
    if (result == ERROR_SUCCESS) result = SetText(classKey + L"\\InprocServer32", nullptr, server);
    if (result == ERROR_SUCCESS) result = SetText(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    for (const wchar_t* root : kHandlerRoots)
        if (result == ERROR_SUCCESS)
            result = SetText(std::wstring(root) + L"\\shellex\\ContextMenuHandlers\\" + kHandlerName, nullptr,
                             kClassIdText);
    WriteCreatedKeys(classKey, created);
    return result == ERROR_SUCCESS ? S_OK : E_FAIL;
}

__declspec(dllexport) HRESULT __stdcall DllUnregisterServer() {
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassIdText;
    const std::vector<std::wstring> created = ReadCreatedKeys(classKey);
    for (const wchar_t* root : kHandlerRoots)
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, (std::wstring(root) + L"\\shellex\\ContextMenuHandlers\\" + kHandlerName).c_str());
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, classKey.c_str());
    DeleteCreatedKeys(created);
    return S_OK;
}

}  // extern "C"
