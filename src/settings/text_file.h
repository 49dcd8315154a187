#pragma once
// Text files as the program reads and writes them: the byte-order mark decides the
// encoding on the way in; what the program writes for itself is UTF-16LE with a mark.

#include <optional>
#include <string>
#include <vector>

namespace tarvo::settings {

// UTF-8 or UTF-16 (either byte order) after their byte-order marks, otherwise the system's
// ANSI code page. A trailing odd byte of UTF-16 text is dropped.
[[nodiscard]] std::wstring DecodeText(const std::string& bytes);
// The byte-order mark FF FE followed by the text in UTF-16 little-endian.
[[nodiscard]] std::string EncodeUtf16Le(const std::wstring& text);

// Lines split at CR LF, LF or CR; a line break at the very end does not start another line.
[[nodiscard]] std::vector<std::wstring> SplitLines(const std::wstring& text);

// The whole file decoded; nullopt when it cannot be read.
[[nodiscard]] std::optional<std::wstring> ReadTextFile(const std::wstring& path);
[[nodiscard]] bool WriteUtf16TextFile(const std::wstring& path, const std::wstring& text);

// Blanks and control characters removed from both ends.
[[nodiscard]] std::wstring Trim(const std::wstring& text);

}  // namespace tarvo::settings
