#include "archive/archive_format.h"

#include <algorithm>
#include <cstring>

#include "archive/archive_error.h"

namespace tarvo::archive {

std::uint64_t ReadLe(const unsigned char* bytes, std::size_t size) noexcept {
    std::uint64_t value = 0;
    for (std::size_t i = size; i > 0; --i) value = (value << 8) | bytes[i - 1];
    return value;
}

void WriteLe(std::uint64_t value, unsigned char* bytes, std::size_t size) noexcept {
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

ArchiveTrailer ParseTrailer(const unsigned char* bytes) noexcept {
    ArchiveTrailer t;
    t.DataSize = static_cast<std::int64_t>(ReadLe(bytes, 8));
    t.ArchiveCrc = static_cast<std::uint32_t>(ReadLe(bytes + 8, 4));
    t.Count = static_cast<std::int32_t>(ReadLe(bytes + 12, 4));
    t.Version = static_cast<std::int32_t>(ReadLe(bytes + 16, 4));
    t.DirSize = static_cast<std::int32_t>(ReadLe(bytes + 20, 4));
    t.DirCompressed = bytes[24];
    return t;
}

void WriteTrailer(const ArchiveTrailer& t, unsigned char* bytes) noexcept {
    std::memset(bytes, 0, kTrailerSize);
    WriteLe(static_cast<std::uint64_t>(t.DataSize), bytes, 8);
    WriteLe(t.ArchiveCrc, bytes + 8, 4);
    WriteLe(static_cast<std::uint32_t>(t.Count), bytes + 12, 4);
    WriteLe(static_cast<std::uint32_t>(t.Version), bytes + 16, 4);
    WriteLe(static_cast<std::uint32_t>(t.DirSize), bytes + 20, 4);
    bytes[24] = t.DirCompressed;
}

namespace {
std::string ReadShortString(const unsigned char* bytes) {
    // One length byte, at most 255 bytes after it: the field is 256 bytes, so any length
    // byte stays inside the record.
    return std::string(reinterpret_cast<const char*>(bytes + 1), bytes[0]);
}
void WriteShortString(const std::string& text, unsigned char* bytes) noexcept {
    const std::size_t length = std::min<std::size_t>(text.size(), 255);
    bytes[0] = static_cast<unsigned char>(length);
    std::memcpy(bytes + 1, text.data(), length);
}
}  // namespace

ArchiveEntry ParseEntry(const unsigned char* bytes) {
    ArchiveEntry e;
    e.FileName = ReadShortString(bytes);
    e.FilePath = ReadShortString(bytes + 256);
    e.UnpackedSize = static_cast<std::int64_t>(ReadLe(bytes + 512, 8));
    e.PackedSize = static_cast<std::int64_t>(ReadLe(bytes + 520, 8));
    e.StoredSize = static_cast<std::int64_t>(ReadLe(bytes + 528, 8));
    e.Offset = static_cast<std::int64_t>(ReadLe(bytes + 536, 8));
    e.Crc = static_cast<std::uint32_t>(ReadLe(bytes + 544, 4));
    e.Mode = bytes[548];
    return e;
}

void WriteEntry(const ArchiveEntry& e, unsigned char* bytes) noexcept {
    std::memset(bytes, 0, kEntrySize);
    WriteShortString(e.FileName, bytes);
    WriteShortString(e.FilePath, bytes + 256);
    WriteLe(static_cast<std::uint64_t>(e.UnpackedSize), bytes + 512, 8);
    WriteLe(static_cast<std::uint64_t>(e.PackedSize), bytes + 520, 8);
    WriteLe(static_cast<std::uint64_t>(e.StoredSize), bytes + 528, 8);
    WriteLe(static_cast<std::uint64_t>(e.Offset), bytes + 536, 8);
    WriteLe(e.Crc, bytes + 544, 4);
    bytes[548] = e.Mode;
}

std::wstring FormatMessageText(const wchar_t* pattern, const std::wstring& argument) {
    std::wstring text = pattern;
    for (const wchar_t* placeholder : {L"%s", L"%d"}) {
        const auto at = text.find(placeholder);
        if (at != std::wstring::npos) return text.replace(at, 2, argument);
    }
    return text;
}

}  // namespace tarvo::archive
