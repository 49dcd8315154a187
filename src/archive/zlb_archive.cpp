#include "archive/zlb_archive.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <optional>
#include <windows.h>

#include "archive/inflate_stream.h"
#include "platform/text.h"

namespace tarvo::archive {

namespace {

constexpr std::size_t kCrcBlock = 10240;
constexpr std::size_t kCopyPiece = 64 * 1024;
constexpr std::int64_t kExpectedAtMost = 16 << 20;
// The largest archive whose bytes a reader keeps after opening: the installation payload and
// the score database are well below it.
constexpr std::int64_t kImageAtMost = 32 << 20;
// The directory is the only part held in memory whole; more entries than this is no
// archive of ours (the installation payload has a few dozen).
constexpr std::int64_t kMaxEntries = 100000;


std::mutex gExtractionLock;

bool IsBlank(wchar_t c) noexcept { return c <= L' '; }

std::wstring Trimmed(const std::wstring& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool CopyBounded(ByteSource& source, ByteSink& dest, std::int64_t size) {
    std::vector<unsigned char> buffer(kCopyPiece);
    while (size > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(size, kCopyPiece));
        const std::size_t got = source.ReadSome(buffer.data(), want);
        if (got == 0 || !dest.Write(buffer.data(), got)) return false;
        size -= static_cast<std::int64_t>(got);
    }
    return true;
}

// Bytes already in memory, read without a copy of their own.
class SpanSource final : public ByteSource {
public:
    SpanSource(const char* data, std::size_t size) noexcept : data_(data), size_(size) {}
    [[nodiscard]] std::size_t ReadSome(void* data, std::size_t size) override {
        const std::size_t take = std::min(size, size_ - position_);
        std::copy_n(data_ + position_, take, static_cast<char*>(data));
        position_ += take;
        return take;
    }

private:
    const char* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Takes the CRC-32 of what goes through, for the per-entry check.
class CrcSink final : public ByteSink {
public:
    explicit CrcSink(ByteSink& inner) noexcept : inner_(inner) {}
    [[nodiscard]] bool Write(const void* data, std::size_t size) override {
        crc_ = crc32(crc_, static_cast<const Bytef*>(data), static_cast<uInt>(size));
        return inner_.Write(data, size);
    }
    void Expect(std::size_t size) override { inner_.Expect(size); }
    [[nodiscard]] std::uint32_t crc() const noexcept { return static_cast<std::uint32_t>(crc_); }

private:
    ByteSink& inner_;
    uLong crc_ = crc32(0, nullptr, 0);
};

}  // namespace

std::mutex& ExtractionLock() noexcept { return gExtractionLock; }

std::wstring TZLBArc2::FullName(const ArchiveEntry& entry) {
    const std::string bytes = entry.FilePath + entry.FileName;
    return platform::MultiByteToWide(bytes.data(), bytes.size(), CP_ACP);
}

void TZLBArc2::Close() noexcept {
    fileName_.clear();
    trailer_ = {};
    archiveStart_ = -1;
    entries_.clear();
    image_.clear();
    image_.shrink_to_fit();
}

void TZLBArc2::Fail(const std::wstring& message) {
    Close();
    throw ArchiveError(message);
}

bool TZLBArc2::Open(const std::wstring& fileName) {
    Close();
    if (fileName.empty()) return false;
    platform::FileStream file;
    if (!file.OpenRead(fileName)) return false;
    const auto size = file.Size();
    if (!size || *size < static_cast<std::int64_t>(kTrailerSize)) Fail(messages::kCorrupted);

    std::array<unsigned char, kTrailerSize> raw{};
    if (!file.Seek(*size - static_cast<std::int64_t>(kTrailerSize)) || !file.ReadExact(raw.data(), raw.size()))
        Fail(messages::kCorrupted);
    const ArchiveTrailer trailer = ParseTrailer(raw.data());
    if (trailer.Version != 2) Fail(FormatMessageText(messages::kWrongVersion, std::to_wstring(trailer.Version)));

    // Both sizes are checked on their own first, so their sum cannot overflow.
    const std::int64_t room = *size - static_cast<std::int64_t>(kTrailerSize);
    if (trailer.DataSize < 0 || trailer.DataSize > room || trailer.DirSize < 0 || trailer.DirSize > room - trailer.DataSize)
        Fail(messages::kCorrupted);
    trailer_ = trailer;
    archiveStart_ = room - trailer.DataSize - trailer.DirSize;

    const std::int64_t span = trailer.DataSize + trailer.DirSize;
    if (verifyArchiveCrc_ && keepImage_ && span <= kImageAtMost) {
        // One read of the whole archive serves the check and the extraction after it.
        std::string image(static_cast<std::size_t>(span), '\0');
        if (!file.Seek(archiveStart_) || (span > 0 && !file.ReadExact(image.data(), image.size())))
            Fail(messages::kCorrupted);
        uLong crc = crc32(0, nullptr, 0);
        for (std::size_t at = 0; at < image.size(); at += 1u << 30) {
            const std::size_t piece = std::min<std::size_t>(image.size() - at, 1u << 30);
            crc = crc32(crc, reinterpret_cast<const Bytef*>(image.data() + at), static_cast<uInt>(piece));
        }
        if (static_cast<std::uint32_t>(crc) != trailer.ArchiveCrc) Fail(messages::kCorrupted);
        image_ = std::move(image);
    } else if (verifyArchiveCrc_) {
        if (!file.Seek(archiveStart_)) Fail(messages::kCorrupted);
        std::vector<unsigned char> block(kCrcBlock);
        uLong crc = crc32(0, nullptr, 0);
        std::int64_t left = trailer.DataSize + trailer.DirSize;
        while (left > 0) {
            const std::size_t piece = static_cast<std::size_t>(std::min<std::int64_t>(left, kCrcBlock));
            if (!file.ReadExact(block.data(), piece)) Fail(messages::kCorrupted);
            crc = crc32(crc, block.data(), static_cast<uInt>(piece));
            left -= static_cast<std::int64_t>(piece);
        }
        if (static_cast<std::uint32_t>(crc) != trailer.ArchiveCrc) Fail(messages::kCorrupted);
    }

    ReadDirectory(file, *size);
    fileName_ = fileName;
    return true;
}

void TZLBArc2::ReadDirectory(platform::FileStream& file, std::int64_t) {
    const ArchiveTrailer& t = trailer_;
    if (t.Count < 0 || t.Count > kMaxEntries) Fail(messages::kDirectoryUnreadable);
    const std::int64_t wanted = static_cast<std::int64_t>(t.Count) * static_cast<std::int64_t>(kEntrySize);
    if (!file.Seek(archiveStart_ + t.DataSize)) Fail(messages::kDirectoryUnreadable);

    std::string directory;
    if (t.DirCompressed == 0) {
        if (wanted > t.DirSize) Fail(messages::kDirectoryUnreadable);
        directory.resize(static_cast<std::size_t>(wanted));
        if (wanted > 0 && !file.ReadExact(directory.data(), directory.size())) Fail(messages::kDirectoryUnreadable);
    } else {
        if (!PlausibleInflatedSize(t.DirSize, wanted)) Fail(messages::kDirectoryUnreadable);
        std::string packed(static_cast<std::size_t>(t.DirSize), '\0');
        if (t.DirSize > 0 && !file.ReadExact(packed.data(), packed.size())) Fail(messages::kDirectoryUnreadable);
        if (!InflateBuffer(packed, static_cast<std::size_t>(wanted), directory)) Fail(messages::kDirectoryUnreadable);
    }

    std::vector<ArchiveEntry> entries;
    entries.reserve(static_cast<std::size_t>(t.Count));
    for (std::int32_t i = 0; i < t.Count; ++i)
        entries.push_back(ParseEntry(reinterpret_cast<const unsigned char*>(directory.data()) +
                                     static_cast<std::size_t>(i) * kEntrySize));
    entries_ = std::move(entries);
}

int TZLBArc2::FindEntry(const std::wstring& name) const {
    if (!IsOpen()) throw ArchiveError(messages::kNoArchiveOpen);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (platform::EqualsIgnoreCase(FullName(entries_[i]), name)) return static_cast<int>(i);
    throw ArchiveError(FormatMessageText(messages::kNotFound, name));
}

void TZLBArc2::ExtractEntry(int index, ByteSink& dest) {
    if (!IsOpen()) throw ArchiveError(messages::kNoArchiveOpen);
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) throw ArchiveError(messages::kIndexOutOfBounds);
    if (archiveStart_ < 0) throw ArchiveError(messages::kUnknownPosition);
    const std::lock_guard lock(ExtractionLock());
    ExtractLocked(entries_[static_cast<std::size_t>(index)], dest);
}

void TZLBArc2::ExtractLocked(const ArchiveEntry& entry, ByteSink& dest) {
    const std::wstring corrupted = messages::kCorrupted;
    const bool encrypted = entry.Mode == 2 || entry.Mode == 3;
    const bool compressed = entry.Mode == 0 || entry.Mode == 2;
    if (entry.Mode > 3 || entry.Offset < 0 || entry.Offset > trailer_.DataSize || entry.UnpackedSize < 0)
        throw ArchiveError(corrupted);
    // What the entry may read: up to the end of the data area, or its stored size.
    std::int64_t available = trailer_.DataSize - entry.Offset;
    const std::uint32_t storedSize = static_cast<std::uint32_t>(entry.StoredSize);
    if (encrypted && (storedSize < 24 || storedSize > available)) throw ArchiveError(corrupted);

    // Kept bytes serve what needs no decryption: a stored entry goes to `dest` in one piece.
    if (!encrypted && !image_.empty()) {
        const char* start = image_.data() + entry.Offset;
        CrcSink checked(dest);
        ByteSink& out = verifyEntryCrc_ ? static_cast<ByteSink&>(checked) : dest;
        bool ok = false;
        if (compressed) {
            SpanSource kept(start, static_cast<std::size_t>(available));
            if (PlausibleInflatedSize(available, entry.UnpackedSize))
                out.Expect(static_cast<std::size_t>(std::min<std::int64_t>(entry.UnpackedSize, kExpectedAtMost)));
            ok = InflateBounded(kept, available, out, entry.UnpackedSize);
        } else if (entry.UnpackedSize <= available) {
            out.Expect(static_cast<std::size_t>(entry.UnpackedSize));
            ok = out.Write(start, static_cast<std::size_t>(entry.UnpackedSize));
        }
        if (!ok) throw ArchiveError(corrupted);
        if (verifyEntryCrc_ && checked.crc() != entry.Crc)
            throw ArchiveError(FormatMessageText(messages::kEntryCrc, FullName(entry)));
        return;
    }

    platform::FileStream archive;
    if (!archive.OpenRead(fileName_) || !archive.Seek(archiveStart_ + entry.Offset)) throw ArchiveError(corrupted);

    platform::FileStream decrypted;
    FileSource archiveSource(archive), decryptedSource(decrypted);
    std::optional<MemorySource> inMemory;
    ByteSource* source = &archiveSource;
    if (encrypted) {
        if (Trimmed(passPhrase_).empty()) throw ArchiveError(messages::kNoPassword);
        if (!decrypt_) throw ArchiveError(messages::kNoDecryption);
    }
    // Decrypted in memory up to the limit: the plain bytes never reach the disk, and the
    // round trip through a temporary file cost more than the decryption itself. Larger
    // entries go through the temporary file, so memory stays bounded.
    if (encrypted && storedSize <= inMemoryLimit_) {
        StringSink plain(storedSize);  // CBC never gives more bytes than it is given
        plain.Expect(storedSize);       // checked against the file above
        try {
            decrypt_(archive, plain, passPhrase_, storedSize);
        } catch (...) {
            // A failing handler leaves short data, which the step below reports.
        }
        inMemory.emplace(std::move(plain.bytes()));
        available = static_cast<std::int64_t>(inMemory->size());
        source = &*inMemory;
    } else if (encrypted) {
        const std::wstring tempName = platform::CreateTempFileName(tempFolder_, L"ZLB");
        // Marked delete-on-close: the decrypted bytes never outlive this extraction.
        if (tempName.empty() || !decrypted.Create(tempName, true)) {
            if (!tempName.empty()) (void)::DeleteFileW(tempName.c_str());
            throw ArchiveError(corrupted);
        }
        FileSink tempSink(decrypted);
        try {
            decrypt_(archive, tempSink, passPhrase_, storedSize);
        } catch (...) {
            // A failing handler leaves short data, which the step below reports.
        }
        available = decrypted.Size().value_or(0);
        if (!decrypted.Seek(0)) throw ArchiveError(corrupted);
        source = &decryptedSource;
    }

    // The entry CRC is off by default; summing every byte only to drop the sum costs a
    // tenth of an extraction.
    CrcSink checked(dest);
    ByteSink& out = verifyEntryCrc_ ? static_cast<ByteSink&>(checked) : dest;
    // Memory for the entry is taken once, up to a modest size: the claimed size is only the
    // archive's word, and a hostile one must not buy a large allocation with a small file.
    if (compressed ? PlausibleInflatedSize(available, entry.UnpackedSize) : entry.UnpackedSize <= available)
        out.Expect(static_cast<std::size_t>(std::min<std::int64_t>(entry.UnpackedSize, kExpectedAtMost)));
    const bool ok = compressed ? InflateBounded(*source, available, out, entry.UnpackedSize)
                               : entry.UnpackedSize <= available && CopyBounded(*source, out, entry.UnpackedSize);
    if (!ok) throw ArchiveError(corrupted);
    if (verifyEntryCrc_ && checked.crc() != entry.Crc)
        throw ArchiveError(FormatMessageText(messages::kEntryCrc, FullName(entry)));
}

}  // namespace tarvo::archive
