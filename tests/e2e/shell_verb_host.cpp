// A 64-bit stand-in for Explorer, for the self-installation test:
//   shell_verb_host invoke PATH   loads the context-menu handler registered for every file,
//                                 gives it PATH as the shell would, prints its menu text and
//                                 chooses the entry
//   shell_verb_host hold DLL MS   keeps DLL loaded for MS milliseconds, as Explorer keeps
//                                 the shell extensions it has used
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
int Fail(const char* what, HRESULT result) {
    std::printf("FAIL %s 0x%08lx\n", what, static_cast<unsigned long>(result));
    return 1;
}

int Invoke(const wchar_t* path) {
    wchar_t classText[64] = {};
    LONG size = sizeof classText;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, L"*\\shellex\\ContextMenuHandlers\\TarvoUninstaller", classText, &size) !=
        ERROR_SUCCESS)
        return Fail("no handler registered", E_FAIL);
    CLSID classId;
    if (FAILED(CLSIDFromString(classText, &classId))) return Fail("bad class id", E_FAIL);

    PIDLIST_ABSOLUTE item = nullptr;
    HRESULT result = SHParseDisplayName(path, nullptr, &item, 0, nullptr);
    if (FAILED(result)) return Fail("parse", result);
    IShellFolder* parent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    result = SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child);
    if (FAILED(result)) return Fail("bind", result);
    IDataObject* data = nullptr;
    result = parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
    if (FAILED(result)) return Fail("data object", result);

    IShellExtInit* init = nullptr;
    result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, reinterpret_cast<void**>(&init));
    if (FAILED(result)) return Fail("create handler", result);
    result = init->Initialize(nullptr, data, nullptr);
    if (FAILED(result)) return Fail("initialize", result);
    IContextMenu* menu = nullptr;
    result = init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu));
    if (FAILED(result)) return Fail("context menu", result);
    const HMENU popup = CreatePopupMenu();
    result = menu->QueryContextMenu(popup, 0, 100, 0x7FFF, CMF_NORMAL);
    if (FAILED(result) || HRESULT_CODE(result) != 1) return Fail("query menu", result);
    wchar_t text[256] = {};
    GetMenuStringW(popup, 0, text, 256, MF_BYPOSITION);
    std::printf("menu: %ls\n", text);
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = MAKEINTRESOURCEA(0);
    invoke.nShow = SW_SHOWNORMAL;
    result = menu->InvokeCommand(&invoke);
    if (FAILED(result)) return Fail("invoke", result);
    std::printf("invoked\n");
    menu->Release();
    init->Release();
    data->Release();
    parent->Release();
    CoTaskMemFree(item);
    DestroyMenu(popup);
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"invoke") == 0) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const int rc = Invoke(argv[2]);
        CoUninitialize();
        return rc;
    }
    if (argc == 4 && std::wcscmp(argv[1], L"hold") == 0) {
        if (!LoadLibraryW(argv[2])) return Fail("load", HRESULT_FROM_WIN32(GetLastError()));
        std::printf("held\n");
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
        return 0;
    }
    std::printf("usage: shell_verb_host invoke PATH | hold DLL MS\n");
    return 2;
}
