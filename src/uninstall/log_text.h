#pragma once
// The log file's text form: UTF-16LE with a byte-order mark and CR LF after every line.
// Reading is lenient, since a day file may have been touched by another program.

#include <string>
#include <vector>

namespace tarvo::uninstall {

// Splits file bytes into lines. A byte-order mark picks UTF-16LE, UTF-16BE or UTF-8; without
// one the bytes are in the system's ANSI code page. CR LF, LF and CR all end a line; a final
// line end does not start another (empty) line.
[[nodiscard]] std::vector<std::wstring> DecodeLogText(const std::string& bytes);

// The byte-order mark FF FE, then every line in UTF-16LE followed by CR LF.
[[nodiscard]] std::string EncodeLogText(const std::vector<std::wstring>& lines);

}  // namespace tarvo::uninstall
