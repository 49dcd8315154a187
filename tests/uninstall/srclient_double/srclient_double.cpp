// Stands in for the system's SrClient.dll in tests: writes what it was asked to a file and
// answers as the test says, so the request can be checked byte for byte.
//
//   TARVO_SRCLIENT_RECORD  file that receives the request record, then the calling thread id
//   TARVO_SRCLIENT_ANSWER  "0" to refuse the request; anything else or unset accepts it
#include <windows.h>
#include <srrestoreptapi.h>

extern "C" __declspec(dllexport) BOOL WINAPI SRSetRestorePointW(PRESTOREPOINTINFOW request,
                                                                PSTATEMGRSTATUS status) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TARVO_SRCLIENT_RECORD", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                          nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, request, sizeof *request, &written, nullptr);
            const DWORD thread = ::GetCurrentThreadId();
            ::WriteFile(file, &thread, sizeof thread, &written, nullptr);
            ::CloseHandle(file);
        }
    }
    wchar_t answer[8] = {};
    const bool refuse = ::GetEnvironmentVariableW(L"TARVO_SRCLIENT_ANSWER", answer, 8) == 1 && answer[0] == L'0';
    if (status) {
        status->nStatus = refuse ? ERROR_SERVICE_DISABLED : ERROR_SUCCESS;
        status->llSequenceNumber = refuse ? 0 : 42;
    }
    return refuse ? FALSE : TRUE;
}
