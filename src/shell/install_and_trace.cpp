#include "shell/install_and_trace.h"

#include "common/paths.h"
#include "language/language.h"
#include "platform/shell.h"
#include "platform/sqlite_library.h"
#include "platform/folders.h"
#include "settings/app_frame.h"
#include "setup/job_wait.h"
#include "shell/test_seam.h"
#include "trace/traced_install.h"
#include "trace/traced_scan.h"

namespace tarvo::shell {

using language::GetText;

namespace {

std::wstring Filled(std::wstring text, const std::wstring& value) {
    if (const auto at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, value);
    if (const auto at = text.find(L"%d"); at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

std::wstring Caption() { return GetText(L"PopMenu_Sub_InstallAndTrace", L"Install and trace a program..."); }

bool RunTraced(HWND owner, const std::wstring& setup) {
    platform::SqliteLibrary sqlite;
    const std::wstring exe = platform::GetModuleFilePath();
    if (!sqlite.Load(exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll")) {
        (void)test_seam::ShowMessageBox(owner, GetText(L"Trace_Failed_M", L"The installation could not be recorded."),
                                        Caption(), MB_OK | MB_ICONWARNING);
        return false;
    }
    const std::wstring dataFolder = settings::DataFolder();
    trace::TracedInstallResult result;
    const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    ::EnableWindow(owner, FALSE);
    test_seam::Log(L"trace: recording " + setup);
    // The snapshots and the wait run on a worker; this thread keeps the windows painted.
    setup::RunJobWhilePumping([&] {
        trace::TracedInstallActions actions = trace::DefaultTracedInstallActions();
        actions.run = [](const std::wstring& command) {
            return uninstall::RunAndWaitDetailed(command, {.startDelay = 0, .pollInterval = 50, .pump = [] {}});
        };
        result = trace::RunTracedInstall({setup, {}}, trace::DefaultRecordingPlan(dataFolder), sqlite, dataFolder,
                                         actions);
    });
    ::EnableWindow(owner, TRUE);
    ::SetCursor(previous);
    std::wstring text;
    UINT icon = MB_ICONINFORMATION;
    switch (result.end) {
        case trace::TracedInstallEnd::Stored:
            text = Filled(GetText(L"Trace_Done_M", L"The installation was recorded: %d items."),
                          std::to_wstring(result.trace.items.size()));
            if (result.trace.entries.empty())
                text += L"\n" + GetText(L"Trace_No_Entry_M", L"No program appeared in the list; the trace is kept all the same.");
            for (const auto& entry : result.trace.entries)
                text += L"\n" + GetText(L"Trace_Entries_M", L"Installed:") + L" " + entry.name;
            break;
        case trace::TracedInstallEnd::NotStarted:
            text = GetText(L"Trace_Not_Started_M", L"The setup could not be started.");
            icon = MB_ICONWARNING;
            break;
        default:
            text = GetText(L"Trace_Failed_M", L"The installation could not be recorded.");
            icon = MB_ICONWARNING;
            break;
    }
    test_seam::Log(L"trace: " + text);
    (void)test_seam::ShowMessageBox(owner, text, Caption(), MB_OK | icon);
    return result.end == trace::TracedInstallEnd::Stored;
}

}  // namespace

bool InstallAndTrace(HWND owner, std::wstring setup) {
    if (setup.empty()) {
        const auto chosen = platform::AskOpenFileName(
            owner, {}, GetText(L"Trace_Filter_M", L"Setup programs") + L"|*.exe;*.msi", 1);
        if (!chosen) return false;
        setup = *chosen;
        const std::wstring question = Filled(
            GetText(L"Trace_Ask_M", L"Install \"%s\" and record what it creates and changes? Its removal will then take "
                                    L"exactly what it made."),
            common::NamePart(setup));
        if (test_seam::ShowMessageBox(owner, question, Caption(), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    }
    return RunTraced(owner, setup);
}

bool OfferTracedInstall(HWND owner, const std::wstring& dropped) {
    if (!trace::LooksLikeSetup(dropped)) return false;
    const std::wstring question =
        Filled(GetText(L"Trace_Drop_Ask_M", L"This looks like a setup program. Install \"%s\" and record what it does? "
                                            L"(No: uninstall it by force instead.)"),
               common::NamePart(dropped));
    if (test_seam::ShowMessageBox(owner, question, Caption(), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    (void)RunTraced(owner, dropped);
    return true;
}

}  // namespace tarvo::shell
