// The data archive reader: open and extract a 5 MB entry in each of the four modes, beside
// the floors the same run measures on the same bytes: a plain zlib inflate of the entry's
// compressed stream, one CryptoAPI AES-256-CBC decryption of its encrypted bytes, and for
// the stored mode one read of the file. Extraction should cost at most 1.3 times the sum of
// the floors its mode has to pay.
#include <windows.h>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <functional>
#include <string>

#include "archive/entry_cipher.h"
#include "archive/zip_decompression.h"
#include "archive/zlb_archive.h"
#include "archive_writer/archive_writer.h"
#include "support/bench_report.h"
#include "platform/aes_cipher.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell.h"

using namespace tarvo;

namespace {

constexpr std::size_t kSize = 5u << 20;
constexpr int kRounds = 15;

// Text-like bytes that deflate to about a third, as a real payload does.
std::string SampleData() {
    static const char* const words[] = {"uninstall", "registry", "folder", "Program Files", "value", "key",
                                        "{8A69D345-D564-463C-AFF1-A69D9E530F96}", "shell", "data", "0x0000", "\r\n"};
    std::string data;
    data.reserve(kSize + 64);
    std::uint32_t seed = 12345;
    while (data.size() < kSize) {
        seed = seed * 1103515245u + 12345u;
        data += words[(seed >> 16) % std::size(words)];
        data += static_cast<char>('a' + (seed >> 8) % 26);
        data += ' ';
    }
    data.resize(kSize);
    return data;
}

// Best of a few rounds: the floors and the extraction see the same warm file cache.
double Best(const std::function<void()>& work) {
    double best = 1e9;
    for (int r = 0; r < kRounds; ++r) {
        const bench::Stopwatch watch;
        work();
        best = std::min(best, watch.ElapsedSeconds());
    }
    return best;
}

double Rate(double seconds) { return static_cast<double>(kSize) / (1 << 20) / seconds; }

}  // namespace

int wmain() {
    const std::string data = SampleData();
    const std::wstring folder = platform::GetTempFolder() + L"\\TarvoBenchArchive-" + platform::NewGuidText(false);
    (void)platform::CreateDirectoryOf(folder);
    const struct {
        const char* name;
        archive::EntryMode mode;
    } modes[] = {{"stored", archive::EntryMode::Stored},
                 {"zlib", archive::EntryMode::Compressed},
                 {"encrypted", archive::EntryMode::StoredEncrypted},
                 {"encrypted+zlib", archive::EntryMode::CompressedEncrypted}};

    // The zlib stream both compressed modes carry (the encrypted one encrypts this same stream).
    std::string packed;
    {
        const auto zlibOnly = tools::BuildArchive({{"Payload.bin", data, archive::EntryMode::Compressed}}, {});
        const std::wstring path = folder + L"\\zlib-only.dbd";
        archive::TZLBArc2 reader;
        if (!zlibOnly || !platform::WriteFileBytes(path, *zlibOnly) || !reader.Open(path)) return 1;
        const archive::ArchiveEntry& entry = reader.Entries().front();
        packed = zlibOnly->substr(static_cast<std::size_t>(entry.Offset), static_cast<std::size_t>(entry.StoredSize));
    }

    bench::PrintHeading("5 MB entry, MB/s of unpacked data (best of 15)");
    for (const auto& m : modes) {
        const auto bytes = tools::BuildArchive({{"Payload.bin", data, m.mode}}, {});
        const std::wstring path = folder + L"\\" + std::wstring(m.name, m.name + std::strlen(m.name)) + L".dbd";
        if (!bytes || !platform::WriteFileBytes(path, *bytes)) {
            std::printf("%s: cannot build the archive\n", m.name);
            return 1;
        }
        archive::TZLBArc2 reader;
        (void)reader.Open(path);
        const archive::ArchiveEntry entry = reader.Entries().front();
        const std::string stored = bytes->substr(static_cast<std::size_t>(entry.Offset),
                                                 static_cast<std::size_t>(entry.StoredSize));
        const bool encrypted = m.mode == archive::EntryMode::StoredEncrypted ||
                               m.mode == archive::EntryMode::CompressedEncrypted;
        const bool compressed = m.mode == archive::EntryMode::Compressed ||
                                m.mode == archive::EntryMode::CompressedEncrypted;

        const auto extractOnce = [&] {
            archive::StringSink sink;
            archive::TZipDeCompression::ExtractFile(path, L"Payload.bin", sink, archive::kArchivePassPhrase);
            return sink.bytes() == data;
        };
        if (!extractOnce()) std::printf("%s: extracted bytes differ\n", m.name);
        const double extract = Best([&] { (void)extractOnce(); });
        // The cipher text is the stored bytes after salt and IV, in whole blocks.
        double decrypt = 0;
        if (encrypted) {
            decrypt = Best([&] {
                std::string cipherText = stored.substr(24, (stored.size() - 24) / 16 * 16);
                platform::Aes256Cipher cipher(platform::AesKey256{}, platform::AesBlock{});
                if (!cipher.DecryptCbc(reinterpret_cast<unsigned char*>(cipherText.data()), cipherText.size()))
                    std::printf("CryptoAPI decryption failed\n");
            });
        }
        double inflate = 0;
        if (compressed) {
            inflate = Best([&] {
                std::string out(kSize, '\0');
                uLongf length = static_cast<uLongf>(out.size());
                if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                               reinterpret_cast<const Bytef*>(packed.data()), static_cast<uLong>(packed.size())) != Z_OK)
                    std::printf("plain inflate failed\n");
            });
        }
        // Opening reads the whole archive once for its CRC: part of the extraction's cost.
        const double open = Best([&] {
            archive::TZLBArc2 opened;
            (void)opened.Open(path);
        });
        const double read = Best([&] { (void)platform::ReadFileBytes(path); });
        const double floor = compressed || encrypted ? inflate + decrypt : read;
        std::printf("%-15s extract %6.1f MB/s %6.2f ms | inflate %6.2f ms | decrypt %6.2f ms | read %5.2f ms | open %5.2f ms"
                    " | ratio %.2f (target 1.30)\n",
                    m.name, Rate(extract), extract * 1000, inflate * 1000, decrypt * 1000, read * 1000, open * 1000,
                    extract / floor);
    }
    // What an encrypted extraction costs whatever its size: key, provider, temporary file.
    {
        const std::wstring path = folder + L"\\tiny.dbd";
        const auto tiny = tools::BuildArchive({{"Tiny.bin", "x", archive::EntryMode::StoredEncrypted}}, {});
        if (!tiny || !platform::WriteFileBytes(path, *tiny)) return 1;
        const double fixed = Best([&] {
            archive::StringSink sink;
            archive::TZipDeCompression::ExtractFile(path, L"Tiny.bin", sink, archive::kArchivePassPhrase);
        });
        const double provider = Best([&] { platform::Aes256Cipher cipher(platform::AesKey256{}, platform::AesBlock{}); });
        std::printf("encrypted 1-byte entry: %.2f ms (of which the AES provider and keys %.2f ms)\n", fixed * 1000,
                    provider * 1000);
    }
    (void)platform::ShellDeleteFolderTree(folder);
    return 0;
}
