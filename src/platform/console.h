#pragma once
// Standard output and error of a console program: wide text on a console window, UTF-8 bytes
// when redirected to a file or a pipe.

#include <string_view>

namespace tarvo::platform {

enum class StdStream { Output, Error };

// True when everything was written.
[[nodiscard]] bool WriteStd(StdStream stream, std::wstring_view text) noexcept;
// Raw bytes, for output that is UTF-8 by contract (JSON) even on a console.
[[nodiscard]] bool WriteStdBytes(StdStream stream, std::string_view bytes) noexcept;

}  // namespace tarvo::platform
