#pragma once
// The console companion's verb dispatch: `tarvo VERB [options]`. Each verb is one row of a
// table with its usage line; the dispatcher knows nothing of what a verb does.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Where a verb writes (and reads an answer); the console program uses its standard streams,
// tests record.
class CliOutput {
public:
    virtual void Out(std::wstring_view text) = 0;       // text, converted as the stream needs
    virtual void OutUtf8(std::string_view bytes) = 0;  // bytes that are UTF-8 by contract
    virtual void Err(std::wstring_view text) = 0;
    // One line of the user's answer to a question; nullopt when there is no one to answer.
    virtual std::optional<std::wstring> ReadLine() { return std::nullopt; }

protected:
    ~CliOutput() = default;
};

struct Verb {
    const wchar_t* name;
    const wchar_t* usage;  // "list [--json] [--all]"
    const wchar_t* summary;
    // The arguments after the verb. Returns an exit code; kExitUsage makes the dispatcher
    // print the usage text.
    int (*run)(std::span<const std::wstring> args, CliOutput& out);
};

[[nodiscard]] std::span<const Verb> Verbs();
[[nodiscard]] std::wstring UsageText();

// args excludes the program name.
[[nodiscard]] int RunCli(std::span<const std::wstring> args, CliOutput& out);

}  // namespace tarvo::cli
