#include "addons/browser_process.h"

#include "addons/addon_text.h"

namespace tarvo::addons {

std::wstring BrowserName(BrowserKind kind) {
    switch (kind) {
        case BrowserKind::InternetExplorer: return L"IE";
        case BrowserKind::Chrome: return L"Chrome";
        case BrowserKind::Firefox: return L"Firefox";
        case BrowserKind::Opera: return L"Opera";
        case BrowserKind::Edge: return L"Edge";
        case BrowserKind::Brave: return L"Brave";
        case BrowserKind::Vivaldi: return L"Vivaldi";
        case BrowserKind::Chromium: return L"Chromium";
        default: return {};
    }
}

std::wstring BrowserExeName(BrowserKind kind) {
    switch (kind) {
        case BrowserKind::InternetExplorer: return L"iexplore.exe";
        case BrowserKind::Chrome: return L"chrome.exe";
        case BrowserKind::Firefox: return L"firefox.exe";
        case BrowserKind::Opera: return L"opera.exe";
        case BrowserKind::Edge: return L"msedge.exe";
        case BrowserKind::Brave: return L"brave.exe";
        case BrowserKind::Vivaldi: return L"vivaldi.exe";
        case BrowserKind::Chromium: return L"chrome.exe";
        default: return {};
    }
}

bool IsBrowserRunningIn(BrowserKind kind, const std::vector<platform::ProcessEntry>& processes) {
    const std::wstring exe = BrowserExeName(kind);
    if (exe.empty()) return true;
    for (const auto& process : processes)
        if (SameText(process.exeName, exe)) return true;
    return false;
}

bool IsBrowserRunning(BrowserKind kind) {
    if (BrowserExeName(kind).empty()) return true;
    return IsBrowserRunningIn(kind, platform::SnapshotProcesses());
}

bool CloseBrowser(BrowserKind kind) {
    const std::wstring exe = BrowserExeName(kind);
    if (exe.empty()) return false;
    bool all = true;
    for (const auto& process : platform::SnapshotProcesses()) {
        if (!SameText(process.exeName, exe)) continue;
        const platform::unique_handle handle = platform::OpenProcessOf(process.id, PROCESS_TERMINATE);
        if (!handle || !platform::TerminateProcessOf(handle.get())) all = false;
    }
    return all;
}

}  // namespace tarvo::addons
