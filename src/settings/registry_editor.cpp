#include "settings/registry_editor.h"

#include <windows.h>
#include <commctrl.h>

#include <thread>

#include "platform/messages.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/system_info.h"
#include "settings/text_file.h"

namespace tarvo::settings {

namespace {

using namespace std::chrono_literals;
using platform::RegistryKey;
using platform::RegistryView;

constexpr wchar_t kEditorClass[] = L"RegEdit_RegEdit";
// The editor's own menu commands: back to the tree's root, and the first favourite.
constexpr WPARAM kCommandCollapseToRoot = 648;
constexpr WPARAM kCommandFirstFavorite = 1281;

void Pause(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }

class SystemRegistryEditor final : public RegistryEditorHost {
public:
    bool FindEditor() override {
        editor_ = platform::FindWindowOf(kEditorClass);
        return editor_ != nullptr;
    }

    bool ThisProcessIsWow64() override { return IsWow64(); }

    std::optional<bool> EditorIs64Bit() override {
        const auto process = platform::OpenProcessOf(platform::WindowProcessId(editor_), PROCESS_QUERY_INFORMATION);
        if (!process) return std::nullopt;
        const auto wow64 = platform::IsProcessWow64(process.get());
        // Asked only on 64-bit Windows: a process outside WOW64 is a 64-bit one.
        if (!wow64) return std::nullopt;
        return !*wow64;
    }

    void CloseEditor() override {
        const auto process =
            platform::OpenProcessOf(platform::WindowProcessId(editor_), PROCESS_TERMINATE | SYNCHRONIZE);
        for (int waited = 0; platform::IsWindowAlive(editor_); waited += 50) {
            if (waited >= 2000) {
                if (process) platform::TerminateProcessOf(process.get());
                break;
            }
            platform::PostMessageOf(editor_, WM_CLOSE);
            Pause(50ms);
        }
        if (process) (void)platform::WaitForExitCode(process.get(), 2000);
        editor_ = nullptr;
    }

    bool WriteLastKey(const std::wstring& editorKeyPath) override { return WriteRegistryEditorLastKey(editorKeyPath); }

    bool StartEditor(bool view64) override {
        DWORD error = 0;
        platform::unique_handle process;
        {
            // The 64-bit editor lives in the real System32, which WOW64 hides from us.
            platform::FsRedirectionOff redirection(view64 && IsWow64());
            process = platform::ShellExecuteProcess(L"open", L"regedit.exe", {}, SW_SHOWMAXIMIZED, error);
        }
        if (!process) {
            ::OutputDebugStringW((L"RegJump\\Shell Fail: " + platform::SystemMessage(error)).c_str());
            return false;
        }
        platform::WaitForInputIdleOf(process.get());
        return true;
    }

    void ShowEditor() override {
        platform::ShowWindowOf(editor_, SW_SHOWMAXIMIZED);
        platform::BringToForeground(editor_);
        tree_ = platform::FindDescendantWindowOf(editor_, L"SysTreeView32");
        Pause(100ms);
    }

    void JumpThroughFavorites(const std::wstring& editorKeyPath) override {
        if (tree_) {
            platform::AddWindowStyle(tree_, TVS_SHOWSELALWAYS);
            platform::SetFocusOf(tree_);
        }
        Pause(100ms);
        platform::SendMessageOf(editor_, WM_COMMAND, kCommandCollapseToRoot);

        RegistryKey favorites;
        if (favorites.Create(HKEY_CURRENT_USER, kRegeditFavoritesKey, KEY_READ | KEY_WRITE,
                             RegistryView::Wow64_64Key) != ERROR_SUCCESS) {
            ::OutputDebugStringW(L"RegJump\\Write Error: no Access");
            return;
        }
        if (favorites.HasValue(kRegJumpFavorite) && favorites.DeleteValue(kRegJumpFavorite) != ERROR_SUCCESS) return;
        if (favorites.SetString(kRegJumpFavorite, editorKeyPath) != ERROR_SUCCESS) {
            ::OutputDebugStringW(L"RegJump\\Write Error: no Access");
            return;
        }
        // The editor lists the favourites in its menu, ours among them; its command follows
        // the others.
        const auto count = static_cast<WPARAM>(favorites.ValueNames().size());
        platform::SendMessageOf(editor_, WM_COMMAND, kCommandFirstFavorite + count);
        (void)favorites.DeleteValue(kRegJumpFavorite);
    }

    void SelectValue(const std::wstring& valueName) override {
        const HWND list = platform::FindDescendantWindowOf(editor_, L"SysListView32");
        if (!list) return;
        platform::SendMessageOf(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        platform::AddWindowStyle(list, LVS_SHOWSELALWAYS);
        platform::SetFocusOf(list);
        Pause(100ms);
        platform::SendMessageOf(list, WM_KEYDOWN, VK_HOME);
        // Typing the name selects the value by the list's own incremental search, whatever
        // the editor's bitness; no memory of another process needs writing.
        for (const wchar_t ch : Trim(valueName.substr(0, 250))) {
            const wchar_t typed = ch >= L'a' && ch <= L'z' ? static_cast<wchar_t>(ch - L'a' + L'A') : ch;
            platform::SendMessageOf(list, WM_CHAR, typed);
        }
    }

private:
    HWND editor_ = nullptr;
    HWND tree_ = nullptr;
};

}  // namespace

std::wstring RegistryEditorKeyPath(std::wstring keyPath) {
    if (!keyPath.empty() && keyPath.back() == L'\\') keyPath.pop_back();
    if (keyPath.empty() || keyPath.front() != L'\\') keyPath.insert(0, L"My\\");
    return keyPath;
}

bool WriteRegistryEditorLastKey(const std::wstring& editorKeyPath) {
    RegistryKey key;
    if (key.Create(HKEY_CURRENT_USER, kRegeditAppletKey, KEY_READ | KEY_WRITE, RegistryView::Wow64_64Key) !=
        ERROR_SUCCESS)
        return false;
    return key.SetString(L"LastKey", editorKeyPath) == ERROR_SUCCESS;
}

bool OpenRegistryEditorAt(const std::wstring& keyPath, const std::wstring& valueName, bool view64,
                          RegistryEditorHost& host) {
    const std::wstring path = RegistryEditorKeyPath(keyPath);
    bool running = host.FindEditor();
    if (running && host.ThisProcessIsWow64()) {
        // An editor of the other bitness shows the other view: start the right one instead.
        const auto editor64 = host.EditorIs64Bit();
        if (editor64 && *editor64 != view64) {
            host.CloseEditor();
            running = false;
        }
    }
    if (!running) {
        (void)host.WriteLastKey(path);
        (void)host.StartEditor(view64);
        if (!host.FindEditor()) return false;
    }
    host.ShowEditor();
    if (running) host.JumpThroughFavorites(path);
    host.SelectValue(valueName);
    return true;
}

bool OpenRegistryEditorAt(const std::wstring& keyPath, const std::wstring& valueName, bool view64) {
    try {
        SystemRegistryEditor editor;
        return OpenRegistryEditorAt(keyPath, valueName, view64, editor);
    } catch (...) {
        return false;
    }
}

}  // namespace tarvo::settings
