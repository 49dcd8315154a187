#pragma once
// Browser files as the cleaners rewrite them: the new content goes into a file beside the
// original, which replaces it in one move only once it is complete and on disk, so a crash
// or a full disk mid-write leaves the browser's old file whole. A browser that holds its
// file open gets a few more tries.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "addons/json_format.h"

namespace tarvo::addons {

// How often a locked file is tried and how long to wait between tries. Tests replace the
// wait so that they need not sit through it.
struct WriteRetries {
    int attempts = 3;
    DWORD waitMilliseconds = 500;
    std::function<void(DWORD)> sleep = [](DWORD milliseconds) { ::Sleep(milliseconds); };
};

// One try: writes `bytes` beside `path`, flushes, then moves the copy over `path`. On any
// failure the copy is removed and `path` is as it was.
[[nodiscard]] bool ReplaceFileContent(const std::wstring& path, const std::string& bytes) noexcept;
// ReplaceFileContent up to `retries.attempts` times with the wait between; true once one succeeded.
[[nodiscard]] bool ReplaceFileWithRetries(const std::wstring& path, const std::string& bytes,
                                          const WriteRetries& retries);

// A JSON settings file as UTF-8 text: a UTF-8 mark is dropped, UTF-16 with its mark is
// converted; text without a mark is taken as the UTF-8 that JSON files are. Nullopt when the
// file cannot be read.
[[nodiscard]] std::optional<std::string> ReadJsonFileText(const std::wstring& path);
// The same for bytes already read.
[[nodiscard]] std::string JsonTextFromBytes(std::string bytes);

// A JSON file as ReadJsonFileText gives it, parsed; nullopt when it is missing, unreadable
// or not an object. Numbers come back as the parser reads them, not as they were written:
// for files only read, or written back whole the way their browser writes them itself.
[[nodiscard]] std::optional<Json> ReadJsonObject(const std::wstring& path);

// Whether the bytes are well-formed UTF-8 (so a file can be written back in the encoding it came in).
[[nodiscard]] bool IsUtf8(std::string_view bytes) noexcept;

}  // namespace tarvo::addons
