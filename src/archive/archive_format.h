#pragma once
// The container's on-disk records: the 36-byte trailer at the end of the file and the
// 550-byte directory record. Little-endian throughout; parsed byte by byte, never cast.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvo::archive {

inline constexpr std::size_t kTrailerSize = 36;
inline constexpr std::size_t kEntrySize = 550;

enum class EntryMode : std::uint8_t { Compressed = 0, Stored = 1, CompressedEncrypted = 2, StoredEncrypted = 3 };

struct ArchiveTrailer {
    std::int64_t DataSize = 0;
    std::uint32_t ArchiveCrc = 0;
    std::int32_t Count = 0;
    std::int32_t Version = 0;
    std::int32_t DirSize = 0;
    std::uint8_t DirCompressed = 0;
};

struct ArchiveEntry {
    std::string FileName;  // bytes in the system code page, as stored
    std::string FilePath;
    std::int64_t UnpackedSize = 0;
    std::int64_t PackedSize = 0;
    std::int64_t StoredSize = 0;
    std::int64_t Offset = 0;
    std::uint32_t Crc = 0;
    std::uint8_t Mode = 0;
};

[[nodiscard]] ArchiveTrailer ParseTrailer(const unsigned char* bytes) noexcept;
void WriteTrailer(const ArchiveTrailer& trailer, unsigned char* bytes) noexcept;
[[nodiscard]] ArchiveEntry ParseEntry(const unsigned char* bytes);
void WriteEntry(const ArchiveEntry& entry, unsigned char* bytes) noexcept;

// Little-endian helpers shared by the reader and the writer.
[[nodiscard]] std::uint64_t ReadLe(const unsigned char* bytes, std::size_t size) noexcept;
void WriteLe(std::uint64_t value, unsigned char* bytes, std::size_t size) noexcept;

}  // namespace tarvo::archive
