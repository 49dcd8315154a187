// A stand-in uninstaller whose process tree the wait tests know exactly.
//   chain MARKER MS    starts "child", exits at once; the child starts "sleeper" and exits;
//                      the sleeper waits MS ms, then writes MARKER and ends
//   browser FIREFOX    starts FIREFOX (a copy of this program named firefox.exe) with
//                      "linger", waits a moment and ends
//   linger             stays for two minutes, as a browser opened at an uninstaller's end would
//   sleeper MARKER MS  see chain
//   exit CODE          ends at once with CODE
//   last ... MARKER    writes MARKER, the last argument: proves a long command arrived whole
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring SelfPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool Start(const std::wstring& commandLine) {
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return true;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring mode = argv[1];
    if ((mode == L"chain" || mode == L"child") && argc >= 4) {
        const wchar_t* next = mode == L"chain" ? L" child " : L" sleeper ";
        return Start(Quoted(SelfPath()) + next + Quoted(argv[2]) + L" " + argv[3]) ? 0 : 1;
    }
    if (mode == L"sleeper" && argc >= 4) {
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
        const HANDLE file = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        ::CloseHandle(file);
        return 0;
    }
    if (mode == L"browser" && argc >= 3) {
        if (!Start(Quoted(argv[2]) + L" linger")) return 1;
        ::Sleep(300);
        return 0;
    }
    if (mode == L"linger") {
        ::Sleep(120000);
        return 0;
    }
    if (mode == L"last" && argc >= 3) {
        const HANDLE file = ::CreateFileW(argv[argc - 1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        ::CloseHandle(file);
        return 0;
    }
    if (mode == L"exit" && argc >= 3) return static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    return 2;
}
