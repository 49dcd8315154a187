// tarvo_probe: drives a running program's windows from outside, for end-to-end tests.
//   tarvo_probe wait CLASS [TIMEOUT_MS]   exit 0 once a visible window of CLASS exists
//   tarvo_probe caption CLASS             print the window's caption
//   tarvo_probe close CLASS               post WM_CLOSE to it
//   tarvo_probe rect CLASS                print "left top right bottom"
//   tarvo_probe minimize CLASS            minimise it and wait until it is
//   tarvo_probe iconic CLASS              exit 0 when it is minimised, 1 when not
//   tarvo_probe rows CLASS [COLUMNS]      print the rows of the window's visible list view, one per
//                                         line, columns (default "0") separated by tabs
//   tarvo_probe key CLASS VK              press and release a key in the window's list view
//   tarvo_probe post CLASS MESSAGE        post MESSAGE (decimal or 0x hex) with no parameters
//   tarvo_probe command CLASS ID          post WM_COMMAND with the control or menu id ID
//   tarvo_probe texts CLASS               print the window's caption, then every visible
//                                         child's window text (a list's: its column titles),
//                                         one per line
//   tarvo_probe waittext CLASS TEXT [TIMEOUT_MS]
//                                         exit 0 once the window's caption or a visible child's
//                                         text holds TEXT
//   tarvo_probe type CLASS TEXT           set the text of the window's first visible edit
//                                         control (its parent hears EN_CHANGE, as from typing)
//   tarvo_probe move CLASS X Y            move the window (SetWindowPos, size kept)
//   tarvo_probe click CLASS X Y           post a mouse move, press and release at client X Y
//   tarvo_probe dblcaption CLASS          post a double click on the window's title area
//   tarvo_probe settle CLASS              return once the window's thread answers and the window
//                                         with its children has painted itself completely

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND FindVisible(const wchar_t* className) {
    const HWND window = ::FindWindowW(className, nullptr);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

struct ChildSearch {
    const wchar_t* className;
    HWND found;
};

// A window with several pages keeps the hidden pages' controls; the one shown counts.
BOOL CALLBACK TakeVisibleChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (_wcsicmp(name, search->className) != 0 || !::IsWindowVisible(child)) return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindVisibleChild(HWND window, const wchar_t* className) {
    ChildSearch search{className, nullptr};
    ::EnumChildWindows(window, TakeVisibleChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindListView(HWND window) { return FindVisibleChild(window, WC_LISTVIEWW); }

// Reads the list's texts through LVM_GETITEMTEXTW with the item and its buffer placed in the
// owning process, as an accessibility tool would; an owner-data list answers from its owner.
int PrintRows(HWND window, const std::wstring& columns) {
    const HWND list = FindListView(window);
    if (!list) return 1;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    constexpr SIZE_T kChars = 1024;
    const SIZE_T size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) {
        ::CloseHandle(process);
        return 1;
    }
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::wstring line;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] < L'0' || columns[i] > L'9') continue;
            LVITEMW item{};
            item.iSubItem = columns[i] - L'0';
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            item.cchTextMax = static_cast<int>(kChars);
            wchar_t text[kChars] = {};
            SIZE_T moved = 0;
            if (::WriteProcessMemory(process, remote, &item, sizeof item, &moved) &&
                ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)) >= 0)
                (void)::ReadProcessMemory(process, remote + sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t), &moved);
            if (!line.empty() || i > 0) line += L'\t';
            line += text;
        }
        std::wprintf(L"%ls\n", line.c_str());
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return 0;
}

// A list's column titles, read through LVM_GETCOLUMNW with the buffer in the owning process.
void PrintColumnTitles(HWND list) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return;
    constexpr SIZE_T kChars = 256;
    const SIZE_T size = sizeof(LVCOLUMNW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    for (int column = 0; remote; ++column) {
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVCOLUMNW));
        info.cchTextMax = static_cast<int>(kChars);
        wchar_t text[kChars] = {};
        SIZE_T moved = 0;
        if (!::WriteProcessMemory(process, remote, &info, sizeof info, &moved) ||
            !::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote)))
            break;
        (void)::ReadProcessMemory(process, remote + sizeof(LVCOLUMNW), text, sizeof text - sizeof(wchar_t), &moved);
        if (text[0]) std::wprintf(L"%ls\n", text);
    }
    if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
}

BOOL CALLBACK PrintText(HWND child, LPARAM) {
    if (!::IsWindowVisible(child)) return TRUE;
    wchar_t text[1024] = {};
    ::GetWindowTextW(child, text, 1024);
    if (text[0]) std::wprintf(L"%ls\n", text);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (std::wcscmp(name, WC_LISTVIEWW) == 0) PrintColumnTitles(child);
    return TRUE;
}

struct TextSearch {
    const wchar_t* text;
    bool found;
};

BOOL CALLBACK FindText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (!::IsWindowVisible(child)) return TRUE;
    wchar_t text[1024] = {};
    ::GetWindowTextW(child, text, 1024);
    search->found = std::wcsstr(text, search->text) != nullptr;
    return search->found ? FALSE : TRUE;
}

bool ShowsText(HWND window, const wchar_t* text) {
    wchar_t caption[1024] = {};
    ::GetWindowTextW(window, caption, 1024);
    if (std::wcsstr(caption, text)) return true;
    TextSearch search{text, false};
    ::EnumChildWindows(window, FindText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Usage() {
    std::fputws(L"usage: tarvo_probe wait|waittext|caption|close|rect|minimize|iconic|rows|key|post|command|texts|type|move|click|dblcaption|settle CLASS [TIMEOUT_MS]\n", stderr);
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
    if (verb == L"waittext" && argc > 3) {
        const DWORD timeout = argc > 4 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) : 20000;
        const DWORD start = ::GetTickCount();
        for (;;) {
            const HWND shown = FindVisible(className);
            if (shown && ShowsText(shown, argv[3])) return 0;
            if (::GetTickCount() - start > timeout) return 1;
            ::Sleep(50);
        }
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
    if (verb == L"rows") return PrintRows(window, argc > 3 ? argv[3] : L"0");
    if (verb == L"key" && argc > 3) {
        const HWND list = FindListView(window);
        const auto key = static_cast<WPARAM>(std::wcstoul(argv[3], nullptr, 0));
        const HWND target = list ? list : window;
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        return 0;
    }
    if (verb == L"post" && argc > 3) {
        const auto message = static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0));
        return ::PostMessageW(window, message, 0, 0) ? 0 : 1;
    }
    if (verb == L"command" && argc > 3) {
        const auto id = static_cast<WPARAM>(std::wcstoul(argv[3], nullptr, 0));
        return ::PostMessageW(window, WM_COMMAND, id, 0) ? 0 : 1;
    }
    if (verb == L"texts") {
        wchar_t caption[1024] = {};
        ::GetWindowTextW(window, caption, 1024);
        std::wprintf(L"%ls\n", caption);
        ::EnumChildWindows(window, PrintText, 0);
        return 0;
    }
    if (verb == L"type" && argc > 3) {
        const HWND edit = FindVisibleChild(window, L"Edit");
        return edit && ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3])) ? 0 : 1;
    }
    if (verb == L"click" && argc > 4) {
        const LPARAM at = MAKELPARAM(std::wcstol(argv[3], nullptr, 10), std::wcstol(argv[4], nullptr, 10));
        const bool posted = ::PostMessageW(window, WM_MOUSEMOVE, 0, at) &&
                            ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
                            ::PostMessageW(window, WM_LBUTTONUP, 0, at);
        return posted ? 0 : 1;
    }
    if (verb == L"settle") {
        // A sent message is answered only by a thread that runs its message loop; the forced
        // repaint is sent too, so it has ended when RedrawWindow returns. A second answer lets
        // the thread hand what it drew to the display before a screenshot is taken.
        DWORD_PTR answer = 0;
        const auto ping = [&] {
            return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer) != 0;
        };
        if (!ping()) return 1;
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return ping() ? 0 : 1;
    }
    if (verb == L"dblcaption") return ::PostMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0) ? 0 : 1;
    if (verb == L"move" && argc > 4) {
        const int x = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
        const int y = static_cast<int>(std::wcstol(argv[4], nullptr, 10));
        return ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
    }
    return Usage();
}
