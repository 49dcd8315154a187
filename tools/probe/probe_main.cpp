// tarvo_probe: drives a running program's windows from outside, for end-to-end tests.
//   tarvo_probe wait CLASS [TIMEOUT_MS]   exit 0 once a visible window of CLASS exists
//   tarvo_probe caption CLASS             print the window's caption
//   tarvo_probe close CLASS               post WM_CLOSE to it
//   tarvo_probe rect CLASS                print "left top right bottom"
//   tarvo_probe minimize CLASS            minimise it and wait until it is
//   tarvo_probe iconic CLASS              exit 0 when it is minimised, 1 when not

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND FindVisible(const wchar_t* className) {
    const HWND window = ::FindWindowW(className, nullptr);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

int Usage() {
    std::fputws(L"usage: tarvo_probe wait|caption|close|rect|minimize|iconic CLASS [TIMEOUT_MS]\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    const std::wstring verb = argv[1];
    const wchar_t* className = argv[2];

    if (verb == L"wait") {
        const DWORD timeout = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 20000;
        const DWORD start = ::GetTickCount();
        while (!FindVisible(className)) {
            if (::GetTickCount() - start > timeout) return 1;
            ::Sleep(50);
        }
        return 0;
    }
    const HWND window = FindVisible(className);
    if (!window) return 1;
    if (verb == L"caption") {
        wchar_t caption[512] = {};
        ::GetWindowTextW(window, caption, 512);
        std::wprintf(L"%ls\n", caption);
        return 0;
    }
    if (verb == L"close") return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (verb == L"rect") {
        RECT r{};
        ::GetWindowRect(window, &r);
        std::wprintf(L"%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (verb == L"minimize") {
        ::ShowWindowAsync(window, SW_MINIMIZE);
        for (int i = 0; i < 100 && !::IsIconic(window); ++i) ::Sleep(50);
        return ::IsIconic(window) ? 0 : 1;
    }
    if (verb == L"iconic") return ::IsIconic(window) ? 0 : 1;
    return Usage();
}
