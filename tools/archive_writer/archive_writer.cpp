#include "archive_writer/archive_writer.h"

#include <zlib.h>

#include <cstring>

#include "archive/haval.h"

namespace tarvo::tools {

namespace {

std::optional<std::string> Compress(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        return std::nullopt;
    out.resize(size);
    return out;
}

std::uint32_t Crc(const std::string& data, std::uint32_t crc = 0) {
    return static_cast<std::uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

}  // namespace

std::optional<std::string> EncryptEntryData(const std::string& packed, const std::wstring& passPhrase,
                                            const archive::Salt& salt, const platform::AesBlock& iv) {
    archive::EntryCipher cipher(archive::DeriveEntryKey(salt, passPhrase), iv, true);
    if (!cipher.ok()) return std::nullopt;
    std::string out(reinterpret_cast<const char*>(salt.data()), salt.size());
    out.append(reinterpret_cast<const char*>(iv.data()), iv.size());
    std::string body = packed;
    if (!body.empty() && !cipher.Process(reinterpret_cast<unsigned char*>(body.data()), body.size()))
        return std::nullopt;
    return out + body;
}

std::optional<std::string> BuildArchive(const std::vector<WriterEntry>& entries, const WriterOptions& options) {
    std::string data;
    std::string directory;
    for (const WriterEntry& entry : entries) {
        const auto mode = entry.mode;
        const bool compressed = mode == archive::EntryMode::Compressed || mode == archive::EntryMode::CompressedEncrypted;
        const bool encrypted =
            mode == archive::EntryMode::CompressedEncrypted || mode == archive::EntryMode::StoredEncrypted;
        std::string packed = entry.data;
        if (compressed) {
            auto deflated = Compress(entry.data);
            if (!deflated) return std::nullopt;
            packed = std::move(*deflated);
        }
        std::string stored = packed;
        if (encrypted) {
            archive::Haval256 seed;
            seed.Update(entry.name.data(), entry.name.size());
            seed.Update(entry.data.data(), entry.data.size());
            const archive::HavalDigest bytes = seed.FinishStandard();
            archive::Salt salt{};
            platform::AesBlock iv{};
            std::memcpy(salt.data(), bytes.data(), salt.size());
            std::memcpy(iv.data(), bytes.data() + 8, iv.size());
            auto sealed = EncryptEntryData(packed, options.passPhrase, salt, iv);
            if (!sealed) return std::nullopt;
            stored = std::move(*sealed);
        }
        archive::ArchiveEntry record;
        record.FileName = entry.name;
        record.UnpackedSize = static_cast<std::int64_t>(entry.data.size());
        record.PackedSize = static_cast<std::int64_t>(packed.size());
        record.StoredSize = static_cast<std::int64_t>(stored.size());
        record.Offset = static_cast<std::int64_t>(data.size());
        record.Crc = Crc(entry.data);
        record.Mode = static_cast<std::uint8_t>(mode);
        unsigned char raw[archive::kEntrySize];
        archive::WriteEntry(record, raw);
        directory.append(reinterpret_cast<const char*>(raw), sizeof raw);
        data += stored;
    }
    if (options.compressDirectory) {
        auto deflated = Compress(directory);
        if (!deflated) return std::nullopt;
        directory = std::move(*deflated);
    }
    archive::ArchiveTrailer trailer;
    trailer.DataSize = static_cast<std::int64_t>(data.size());
    trailer.Count = static_cast<std::int32_t>(entries.size());
    trailer.Version = 2;
    trailer.DirSize = static_cast<std::int32_t>(directory.size());
    trailer.DirCompressed = options.compressDirectory ? 1 : 0;
    trailer.ArchiveCrc = Crc(directory, Crc(data));
    unsigned char raw[archive::kTrailerSize];
    archive::WriteTrailer(trailer, raw);
    return options.leadingBytes + data + directory + std::string(reinterpret_cast<const char*>(raw), sizeof raw);
}

}  // namespace tarvo::tools
