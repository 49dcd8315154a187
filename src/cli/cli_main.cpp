// tarvo.exe: the console companion for administrators and scripts, on the same engine as
// the desktop program.
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/console.h"
#include "platform/dll_search.h"

namespace {

class ConsoleOutput final : public tarvo::cli::CliOutput {
public:
    void Out(std::wstring_view text) override { (void)tarvo::platform::WriteStd(tarvo::platform::StdStream::Output, text); }
    void OutUtf8(std::string_view bytes) override {
        (void)tarvo::platform::WriteStdBytes(tarvo::platform::StdStream::Output, bytes);
    }
    void Err(std::wstring_view text) override { (void)tarvo::platform::WriteStd(tarvo::platform::StdStream::Error, text); }
    std::optional<std::wstring> ReadLine() override { return tarvo::platform::ReadStdLine(); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    (void)tarvo::platform::RestrictLibrarySearch();
    try {
        std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        ConsoleOutput out;
        return tarvo::cli::RunCli(args, out);
    } catch (...) {
        return tarvo::cli::kExitFailure;
    }
}
