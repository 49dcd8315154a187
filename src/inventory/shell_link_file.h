#pragma once
// Reads the local target of a shortcut (.lnk) straight from the file's own records, without
// the shell: the header, the optional item-ID list, and the link-info block's local base
// path. Only local targets are read; a network target gives nothing. Every offset and size
// taken from the file is checked against its length, so a cut-off or damaged file gives an
// empty result instead of a read past its end.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tarvo::inventory {

// Whether a text names an existing file; the parser's only question to the file system.
using NamesFileFn = std::function<bool(const std::wstring& path)>;

// The target recorded in the shortcut bytes `link`: the local base path in the code page
// `codePage` when it names an existing file; otherwise the UTF-16 text after it (tried one
// byte after its terminating zero, then two bytes after it). Empty when the records hold no
// local path or do not fit the data.
[[nodiscard]] std::wstring LinkTargetFromBytes(std::string_view link, UINT codePage, const NamesFileFn& namesFile);

// The same for a shortcut file, in the system's ANSI code page; empty when the file does not
// exist or cannot be read.
[[nodiscard]] std::wstring LinkTargetFromFile(const std::wstring& path);

}  // namespace tarvo::inventory
