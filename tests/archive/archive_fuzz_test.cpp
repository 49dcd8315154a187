#include <gtest/gtest.h>

#include <zlib.h>

#include "archive/zlb_archive.h"
#include "archive_test_support.h"

namespace tarvo::archive {
namespace {

// Thousands of damaged archives: bit flips, truncations and absurd sizes and counts, half of
// them with the archive CRC made right again so the damage reaches the directory and entry
// checks. Each must end in one of the reader's messages or a clean extraction.
TEST(ZlbArchiveFuzz, DamagedArchivesGiveTheReadersMessages) {
    ::tarvo::test::ScratchFolder scratch;
    const auto original = tools::BuildArchive(
        {{"a.txt", test::Pattern(5000, 5), EntryMode::Compressed},
         {"b.bin", test::Pattern(300, 6), EntryMode::Stored},
         {"c.dbd", test::Pattern(2000, 7), EntryMode::CompressedEncrypted},
         {"d.dbd", test::Pattern(45, 8), EntryMode::StoredEncrypted}},
        {true, "lead", kArchivePassPhrase});
    ASSERT_TRUE(original);
    const auto raw = tools::BuildArchive({{"a.txt", test::Pattern(900, 5), EntryMode::Compressed},
                                          {"d.dbd", test::Pattern(45, 8), EntryMode::StoredEncrypted}},
                                         {false, "", kArchivePassPhrase});
    ASSERT_TRUE(raw);

    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    const std::int64_t hugeValues[] = {-1, 0x7FFFFFFF, 0x80000000LL, 0x7FFFFFFFFFFFFFFFLL, 1LL << 40, 551, 36};
    int messages = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = (round % 3 == 0) ? *raw : *original;
        const std::size_t trailerAt = bytes.size() - kTrailerSize;
        switch (next() % 4) {
            case 0:  // bit flips
                for (unsigned n = next() % 4 + 1; n > 0; --n) bytes[next() % bytes.size()] ^= static_cast<char>(1u << (next() % 8));
                break;
            case 1:  // truncation, from either end
                if (next() % 2) bytes.resize(next() % bytes.size());
                else bytes.erase(0, next() % bytes.size());
                break;
            case 2: {  // a trailer field set to an absurd value
                const std::size_t fields[][2] = {{0, 8}, {12, 4}, {20, 4}};
                const auto* f = fields[next() % 3];
                WriteLe(static_cast<std::uint64_t>(hugeValues[next() % std::size(hugeValues)]),
                        reinterpret_cast<unsigned char*>(bytes.data() + trailerAt + f[0]), f[1]);
                break;
            }
            default: {  // a size or offset of a raw directory record
                if (round % 3 != 0) break;
                const std::size_t dirAt = trailerAt - 2 * kEntrySize + (next() % 2) * kEntrySize;
                const std::size_t at = dirAt + 512 + 8 * (next() % 4);
                WriteLe(static_cast<std::uint64_t>(hugeValues[next() % std::size(hugeValues)]),
                        reinterpret_cast<unsigned char*>(bytes.data() + at), 8);
                bytes[dirAt + 548] = static_cast<char>(next() % 5);
            }
        }
        if (next() % 2 && bytes.size() >= kTrailerSize) {
            // Stamp a CRC that matches the damage, where the trailer still makes sense.
            auto* t = reinterpret_cast<unsigned char*>(bytes.data() + bytes.size() - kTrailerSize);
            const ArchiveTrailer trailer = ParseTrailer(t);
            const std::int64_t span = trailer.DataSize + static_cast<std::int64_t>(trailer.DirSize);
            const std::int64_t room = static_cast<std::int64_t>(bytes.size() - kTrailerSize);
            if (trailer.DataSize >= 0 && trailer.DirSize >= 0 && span <= room) {
                const auto* start = reinterpret_cast<const Bytef*>(bytes.data() + (room - span));
                WriteLe(crc32(0, start, static_cast<uInt>(span)), t + 8, 4);
            }
        }
        const std::wstring path = scratch.MakeFile(L"f.dat", bytes);
        TZLBArc2 reader;
        reader.SetPassPhrase(kArchivePassPhrase);
        reader.SetDecryptionHandler(&DecryptEntry);
        // Half the rounds extract from the bytes kept at opening, half from the file.
        reader.SetKeepImage(round % 2 == 0);
        const std::wstring message = test::MessageOf([&] {
            if (!reader.Open(path)) return;
            for (std::size_t i = 0; i < reader.Entries().size(); ++i) {
                StringSink sink(1u << 20);
                reader.ExtractEntry(static_cast<int>(i), sink);
            }
        });
        if (!message.empty()) ++messages;
    }
    EXPECT_GT(messages, 1500);
}

}  // namespace
}  // namespace tarvo::archive
