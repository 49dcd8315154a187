#pragma once
// One line of standard input, for a console program's yes/no question.

#include <optional>
#include <string>

namespace tarvo::platform {

// The next line without its line end, read as UTF-8; nullopt at the end of input or when
// there is no input at all.
[[nodiscard]] std::optional<std::wstring> ReadStdLine() noexcept;

}  // namespace tarvo::platform
