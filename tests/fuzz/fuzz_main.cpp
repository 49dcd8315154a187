// tarvo_fuzz: every reader of untrusted files fed mutated inputs under Wine.
//     tarvo_fuzz [--inputs N] [--seed S] [--reader NAME]... --corpus DIR [--findings DIR]
// Prints one line of figures per reader and "N passed, M failed" (a reader passes with no
// crash, no hang and its memory within bounds). A crash or hang ends the run at once, its
// input kept in the findings folder as "crash-READER.bin" or "hang-READER.bin": fix the
// reader and add the input to the reader's corpus folder, where it stays as a regression case.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "fuzz_engine.h"
#include "platform/text.h"

int wmain(int argc, wchar_t** argv) {
    tarvo::fuzz::RunOptions options;
    std::vector<std::string> only;
    wchar_t temp[MAX_PATH] = {};
    (void)::GetTempPathW(MAX_PATH, temp);
    options.scratchFolder = std::wstring(temp) + L"tarvo_fuzz_" + std::to_wstring(::GetCurrentProcessId());
    options.findingsFolder = L".";
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool more = i + 1 < argc;
        if (arg == L"--inputs" && more) options.inputsPerReader = std::wcstoull(argv[++i], nullptr, 10);
        else if (arg == L"--seed" && more) options.seed = std::wcstoull(argv[++i], nullptr, 10);
        else if (arg == L"--reader" && more) only.push_back(tarvo::platform::Utf8FromWide(argv[++i]));
        else if (arg == L"--corpus" && more) options.corpusFolder = argv[++i];
        else if (arg == L"--findings" && more) options.findingsFolder = argv[++i];
        else {
            std::fwprintf(stderr, L"usage: tarvo_fuzz [--inputs N] [--seed S] [--reader NAME]... --corpus DIR "
                                  L"[--findings DIR]\n");
            return 64;
        }
    }
    if (options.corpusFolder.empty()) return 64;
    const auto readers = tarvo::fuzz::AllReaders();
    const auto figures = tarvo::fuzz::RunReaders(readers, only, options);
    int passed = 0, failed = 0;
    for (const auto& f : figures) {
        const bool ok = f.crashes == 0 && f.hangs == 0 && f.memoryGrowthKb <= options.memoryLimitKb;
        (ok ? passed : failed) += 1;
        if (!ok) std::printf("%s: memory grew by %lld KB\n", f.reader.c_str(), static_cast<long long>(f.memoryGrowthKb));
    }
    if (figures.empty()) failed = 1;  // no reader of that name
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
