#pragma once
// TZLBArc2, the read-only reader of the program's data archives (Uninstall.data,
// ScoreBase.dbd): the trailer at the end of the file, the directory before it, the entry
// data before that, optionally behind other bytes.
//
// Every size, count and offset read from the file is checked against the file before it
// is used: a damaged or hostile archive raises one of the reader's messages, never reads
// outside the archive, allocates what it claims or inflates without bound.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/archive_format.h"
#include "archive/byte_sink.h"
#include "platform/file_stream.h"

namespace tarvo::archive {

// Decrypts `storedSize` bytes from `source` (at the entry's data) into `dest`.
using DecryptionHandler =
    std::function<void(platform::FileStream& source, ByteSink& dest, const std::wstring& passPhrase,
                       std::uint32_t storedSize)>;

class TZLBArc2 {
public:
    // Raises ArchiveError for a file that is not a readable archive; false for an empty
    // name or a file that cannot be opened.
    bool Open(const std::wstring& fileName);
    void Close() noexcept;
    [[nodiscard]] bool IsOpen() const noexcept { return !fileName_.empty(); }

    // The index of the first entry whose full name matches case-insensitively; raises
    // "%s not found in archive".
    [[nodiscard]] int FindEntry(const std::wstring& name) const;
    // Extracts one entry into `dest` under the process-wide extraction lock.
    void ExtractEntry(int index, ByteSink& dest);

    [[nodiscard]] const std::vector<ArchiveEntry>& Entries() const noexcept { return entries_; }
    [[nodiscard]] const ArchiveTrailer& Trailer() const noexcept { return trailer_; }
    [[nodiscard]] std::int64_t ArchiveStart() const noexcept { return archiveStart_; }

    void SetPassPhrase(std::wstring passPhrase) { passPhrase_ = std::move(passPhrase); }
    void SetDecryptionHandler(DecryptionHandler handler) { decrypt_ = std::move(handler); }
    void SetTempFolder(std::wstring folder) { tempFolder_ = std::move(folder); }
    void SetVerifyArchiveCrc(bool on) noexcept { verifyArchiveCrc_ = on; }
    void SetVerifyEntryCrc(bool on) noexcept { verifyEntryCrc_ = on; }
    // For a reader opened to extract at once: the archive's bytes, read whole for the CRC
    // check, stay in memory (up to a modest size) and the extraction takes stored and
    // compressed entries from there instead of reading the file a second time.
    void SetKeepImage(bool on) noexcept { keepImage_ = on; }
    // Encrypted entries stored in at most this many bytes are decrypted in memory, larger
    // ones through a temporary file.
    void SetInMemoryDecryptionLimit(std::uint32_t bytes) noexcept { inMemoryLimit_ = bytes; }

    // FilePath followed by FileName, from the system code page.
    [[nodiscard]] static std::wstring FullName(const ArchiveEntry& entry);

private:
    void ReadDirectory(platform::FileStream& file, std::int64_t fileSize);
    void ExtractLocked(const ArchiveEntry& entry, ByteSink& dest);
    [[noreturn]] void Fail(const std::wstring& message);

    std::wstring fileName_;
    ArchiveTrailer trailer_;
    std::int64_t archiveStart_ = -1;
    std::vector<ArchiveEntry> entries_;
    std::wstring passPhrase_;
    DecryptionHandler decrypt_;
    std::wstring tempFolder_;
    bool verifyArchiveCrc_ = true;
    bool verifyEntryCrc_ = false;
    std::uint32_t inMemoryLimit_ = 64u << 20;
    bool keepImage_ = false;
    std::string image_;  // data and directory, from archiveStart_; empty when not kept
};

// The lock every extraction holds: the score loader and the self-installer's worker never
// extract at the same time.
[[nodiscard]] std::mutex& ExtractionLock() noexcept;

}  // namespace tarvo::archive
