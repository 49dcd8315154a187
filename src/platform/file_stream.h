#pragma once
// A file opened for sequential or positioned reading and writing, the way the archive
// reader and its temporary files use it: a size, a position, bounded reads and writes.
// Thin and counted like the other file calls; never throws.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

class FileStream {
public:
    FileStream() noexcept = default;

    // Opens an existing file for reading, denying writers; when someone else already writes
    // it, opens it again sharing everything, so a file in use can still be read.
    [[nodiscard]] bool OpenRead(const std::wstring& path) noexcept;
    // Creates (or truncates) a file for reading and writing. With `temporary` the file is
    // marked temporary and goes when the handle closes, whatever happens in between.
    [[nodiscard]] bool Create(const std::wstring& path, bool temporary = false) noexcept;
    // Opens a file for writing at its end, creating it when missing; readers may share it.
    [[nodiscard]] bool OpenAppend(const std::wstring& path) noexcept;
    void Close() noexcept { file_.reset(); }
    [[nodiscard]] bool is_open() const noexcept { return file_.is_valid(); }

    // Nullopt when the size cannot be read.
    [[nodiscard]] std::optional<std::int64_t> Size() const noexcept;
    [[nodiscard]] bool Seek(std::int64_t position) noexcept;
    // Reads exactly `size` bytes at the current position; false on a short or failed read.
    [[nodiscard]] bool ReadExact(void* data, std::size_t size) noexcept;
    // Reads up to `size` bytes; the count read, 0 at the end or on failure.
    [[nodiscard]] std::size_t ReadSome(void* data, std::size_t size) noexcept;
    [[nodiscard]] bool Write(const void* data, std::size_t size) noexcept;
    // FlushFileBuffers: what was written is on the disk, not only in the cache, when it returns.
    [[nodiscard]] bool Flush() noexcept;

private:
    unique_hfile file_;
};

// GetTempFileNameW in `folder` (the system temporary folder when empty) with `prefix`: the
// name of a new, empty file; empty when the system cannot make one.
[[nodiscard]] std::wstring CreateTempFileName(const std::wstring& folder, const std::wstring& prefix);

}  // namespace tarvo::platform
