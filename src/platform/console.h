#pragma once
// The console of the companion program: output in the console's encoding and key input.

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::platform {

// Standard output and error of a console program: wide text on a console window, UTF-8 bytes
// when redirected to a file or a pipe.

enum class StdStream { Output, Error };

// True when everything was written.
[[nodiscard]] bool WriteStd(StdStream stream, std::wstring_view text) noexcept;
// Raw bytes, for output that is UTF-8 by contract (JSON) even on a console.
[[nodiscard]] bool WriteStdBytes(StdStream stream, std::string_view bytes) noexcept;

// One line of standard input, for a console program's yes/no question.

// The next line without its line end, read as UTF-8; nullopt at the end of input or when
// there is no input at all.
[[nodiscard]] std::optional<std::wstring> ReadStdLine() noexcept;

}  // namespace tarvo::platform
