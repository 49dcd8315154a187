#include <gtest/gtest.h>

#include "archive/zlb_archive.h"
#include "archive_test_support.h"

namespace tarvo::archive {
namespace {

using test::Extract;
using test::MessageOf;
using test::Pattern;
using tools::WriterEntry;

const EntryMode kModes[] = {EntryMode::Compressed, EntryMode::Stored, EntryMode::CompressedEncrypted,
                            EntryMode::StoredEncrypted};

// Every mode, both directory forms, with and without leading bytes; sizes that are empty,
// short of a block, not a multiple of 16, and past the reader's pieces.
TEST(ZlbArchive, RoundTripsEveryModeAndDirectoryForm) {
    ::tarvo::test::ScratchFolder scratch;
    const std::string contents[] = {"", "x", Pattern(1001, 2), Pattern(70001, 3)};
    for (const bool compressDirectory : {true, false}) {
        for (const std::string& lead : {std::string(), Pattern(777, 9)}) {
            std::vector<WriterEntry> entries;
            for (const EntryMode mode : kModes)
                for (std::size_t i = 0; i < std::size(contents); ++i)
                    entries.push_back({std::string("M") += std::to_string(int(mode) * 10 + int(i)), contents[i], mode});
            const auto bytes = tools::BuildArchive(entries, {compressDirectory, lead, kArchivePassPhrase});
            ASSERT_TRUE(bytes);
            const std::wstring path = scratch.MakeFile(L"a.dat", *bytes);
            for (const WriterEntry& entry : entries) {
                std::string out;
                // Names match whatever their case.
                std::wstring name(entry.name.begin(), entry.name.end());
                name[0] = L'm';
                EXPECT_EQ(Extract(path, name, out), L"") << entry.name;
                EXPECT_TRUE(out == entry.data) << entry.name << " dir " << compressDirectory;
            }
            TZLBArc2 reader;
            ASSERT_TRUE(reader.Open(path));
            EXPECT_EQ(reader.ArchiveStart(), static_cast<std::int64_t>(lead.size()));
            // Large encrypted entries go through a temporary file instead of memory: same bytes.
            reader.SetDecryptionHandler(&DecryptEntry);
            reader.SetPassPhrase(kArchivePassPhrase);
            reader.SetInMemoryDecryptionLimit(0);
            for (std::size_t i = 0; i < entries.size(); ++i) {
                StringSink sink;
                EXPECT_EQ(MessageOf([&] { reader.ExtractEntry(static_cast<int>(i), sink); }), L"") << entries[i].name;
                EXPECT_TRUE(sink.bytes() == entries[i].data) << entries[i].name;
            }
        }
    }
}

// A short last block is the plain bytes XOR-ed with the encrypted chaining value, which is
// the last full cipher block (or the IV when there is none).
TEST(ZlbArchive, PartialLastBlockUsesTheEncryptedChainingValue) {
    const Salt salt = {9, 8, 7, 6, 5, 4, 3, 2};
    platform::AesBlock iv{};
    for (std::size_t i = 0; i < iv.size(); ++i) iv[i] = static_cast<unsigned char>(0xA0 + i);
    const HavalDigest key = DeriveEntryKey(salt, kArchivePassPhrase);
    platform::AesKey256 aesKey{};
    std::copy(key.begin(), key.end(), aesKey.begin());
    for (const std::size_t size : {5u, 37u}) {
        const std::string plain = Pattern(size, 4);
        const auto sealed = tools::EncryptEntryData(plain, kArchivePassPhrase, salt, iv);
        ASSERT_TRUE(sealed);
        ASSERT_EQ(sealed->size(), 24 + size);
        const std::size_t full = size - size % 16;
        platform::AesBlock chain = iv;
        if (full > 0) std::copy_n(sealed->begin() + 24 + static_cast<std::ptrdiff_t>(full) - 16, 16, chain.begin());
        platform::Aes256Cipher aes(aesKey, iv);
        ASSERT_TRUE(aes.EncryptBlock(chain));
        for (std::size_t i = full; i < size; ++i)
            EXPECT_EQ(static_cast<unsigned char>((*sealed)[24 + i]),
                      static_cast<unsigned char>(plain[i] ^ chain[i - full])) << size << " byte " << i;
    }
}

TEST(ZlbArchive, FlippedByteInTheArchiveFailsTheCrcButLeadingBytesAreNotCovered) {
    ::tarvo::test::ScratchFolder scratch;
    const std::string lead = "MZ-leading";
    const auto bytes = tools::BuildArchive({{"ScoreBase.dbd", Pattern(3000), EntryMode::CompressedEncrypted}},
                                           {true, lead, kArchivePassPhrase});
    ASSERT_TRUE(bytes);
    const std::size_t trailerAt = bytes->size() - kTrailerSize;
    for (std::size_t at = 0; at < trailerAt; at += 97) {
        std::string damaged = *bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        const std::wstring path = scratch.MakeFile(L"d.dat", damaged);
        std::string out;
        EXPECT_EQ(Extract(path, L"scorebase.dbd", out), at < lead.size() ? L"" : std::wstring(messages::kCorrupted)) << at;
    }
}

TEST(ZlbArchive, ReaderMessages) {
    ::tarvo::test::ScratchFolder scratch;
    const auto good = *tools::BuildArchive({{"e.txt", "hello", EntryMode::StoredEncrypted}}, {});
    std::string v3 = good;
    v3[v3.size() - kTrailerSize + 16] = 3;
    const std::wstring goodPath = scratch.MakeFile(L"good.dat", good);
    std::string out = "untouched";

    StringSink missingSink;
    EXPECT_EQ(MessageOf([&] {
                  TZipDeCompression::ExtractFile(scratch.PathOf(L"none.dat"), L"e.txt", missingSink, kArchivePassPhrase);
              }), L"");
    EXPECT_TRUE(missingSink.bytes().empty());
    EXPECT_EQ(Extract(scratch.MakeFile(L"v3.dat", v3), L"e.txt", out),
              L"The archive was created with a different version of ZLBArchive (v3)");
    EXPECT_EQ(Extract(goodPath, L"other.txt", out), L"other.txt not found in archive");
    EXPECT_EQ(Extract(scratch.MakeFile(L"tiny.dat", "short"), L"e.txt", out), std::wstring(messages::kCorrupted));

    StringSink sink;
    EXPECT_EQ(MessageOf([&] { TZipDeCompression::ExtractFile(goodPath, L"e.txt", sink, L"  "); }),
              L"No password given for encrypted file");
    TZLBArc2 reader;
    EXPECT_EQ(MessageOf([&] { (void)reader.FindEntry(L"e.txt"); }), L"No archive is currently open");
    ASSERT_TRUE(reader.Open(goodPath));
    reader.SetPassPhrase(kArchivePassPhrase);
    EXPECT_EQ(MessageOf([&] { reader.ExtractEntry(0, sink); }), L"No decryption algorithm found");
    EXPECT_EQ(MessageOf([&] { reader.ExtractEntry(1, sink); }), L"Index out of bounds");
    // A wrong phrase gives garbage, which the entry check (on here) catches.
    reader.SetDecryptionHandler(&DecryptEntry);
    reader.SetPassPhrase(L"wrong");
    reader.SetVerifyEntryCrc(true);
    EXPECT_EQ(MessageOf([&] { reader.ExtractEntry(0, sink); }), L"e.txt failed CRC check");
}

}  // namespace
}  // namespace tarvo::archive
