#pragma once
// The cipher of encrypted entries: the key is the HAVAL digest (archive finalisation) of the
// 8 salt bytes and the first n bytes of the pass phrase's UTF-16LE form, n its length in
// characters; AES-256-CBC from the stored IV; a last block of r < 16 bytes is XOR-ed with
// the first r bytes of the encrypted chaining value.

#include <array>
#include <cstdint>
#include <string>

#include "archive/byte_sink.h"
#include "archive/haval.h"
#include "platform/aes_cipher.h"
#include "platform/file_stream.h"

namespace tarvo::archive {

using Salt = std::array<std::uint8_t, 8>;

[[nodiscard]] HavalDigest DeriveEntryKey(const Salt& salt, const std::wstring& passPhrase);

// Runs the chained cipher over a message in pieces: full blocks through CBC, a short last
// block by the chaining-value rule. The same object serves the writer (encrypting).
class EntryCipher {
public:
    EntryCipher(const HavalDigest& key, const platform::AesBlock& iv, bool encrypt) noexcept;
    [[nodiscard]] bool ok() const noexcept { return cipher_.ok(); }
    // `size` a multiple of 16 except for the last piece of the message.
    [[nodiscard]] bool Process(unsigned char* data, std::size_t size) noexcept;

private:
    platform::Aes256Cipher cipher_;
    platform::AesBlock chain_;
    bool encrypt_;
};

// The reader's decryption handler: reads the salt and IV, then decrypts
// `storedSize` - 24 bytes into `dest` in bounded pieces. Errors end it quietly.
void DecryptEntry(platform::FileStream& source, ByteSink& dest, const std::wstring& passPhrase,
                  std::uint32_t storedSize);

}  // namespace tarvo::archive
