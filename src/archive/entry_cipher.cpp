#include "archive/entry_cipher.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tarvo::archive {

HavalDigest DeriveEntryKey(const Salt& salt, const std::wstring& passPhrase) {
    // Only the first n bytes of the 2n-byte UTF-16LE text count: for a plain ASCII phrase
    // that is every character's low byte and a zero, cut in half.
    std::vector<std::uint8_t> utf16;
    utf16.reserve(passPhrase.size() * 2);
    for (const wchar_t c : passPhrase) {
        utf16.push_back(static_cast<std::uint8_t>(c & 0xFF));
        utf16.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    Haval256 hash;
    hash.Update(salt.data(), salt.size());
    hash.Update(utf16.data(), passPhrase.size());
    return hash.FinishArchive();
}

namespace {
platform::AesKey256 ToKey(const HavalDigest& digest) noexcept {
    platform::AesKey256 key{};
    std::copy(digest.begin(), digest.end(), key.begin());
    return key;
}
}  // namespace

EntryCipher::EntryCipher(const HavalDigest& key, const platform::AesBlock& iv, bool encrypt) noexcept
    : cipher_(ToKey(key), iv), chain_(iv), encrypt_(encrypt) {}

bool EntryCipher::Process(unsigned char* data, std::size_t size) noexcept {
    const std::size_t full = size - size % 16;
    if (full > 0) {
        // The chaining value for a short tail is the last cipher block: keep it before
        // decrypting in place, take it after encrypting.
        if (!encrypt_) std::memcpy(chain_.data(), data + full - 16, 16);
        if (!(encrypt_ ? cipher_.EncryptCbc(data, full) : cipher_.DecryptCbc(data, full))) return false;
        if (encrypt_) std::memcpy(chain_.data(), data + full - 16, 16);
    }
    if (full == size) return true;
    platform::AesBlock pad = chain_;
    if (!cipher_.EncryptBlock(pad)) return false;
    for (std::size_t i = full; i < size; ++i) data[i] = static_cast<unsigned char>(data[i] ^ pad[i - full]);
    return true;
}

void DecryptEntry(platform::FileStream& source, ByteSink& dest, const std::wstring& passPhrase,
                  std::uint32_t storedSize) {
    if (storedSize < 24) return;
    Salt salt{};
    platform::AesBlock iv{};
    if (!source.ReadExact(salt.data(), salt.size()) || !source.ReadExact(iv.data(), iv.size())) return;
    EntryCipher cipher(DeriveEntryKey(salt, passPhrase), iv, false);
    if (!cipher.ok()) return;
    // Every CryptDecrypt call has a fixed cost well above a few blocks' work: 64 KB pieces
    // spend a small fraction of it of what 8 KB pieces do.
    constexpr std::size_t kPiece = 64 * 1024;
    std::vector<unsigned char> bytes(kPiece);
    unsigned char* buffer = bytes.data();
    std::uint32_t left = storedSize - 24;
    while (left > 0) {
        const std::size_t piece = std::min<std::size_t>(left, kPiece);
        if (!source.ReadExact(buffer, piece) || !cipher.Process(buffer, piece) || !dest.Write(buffer, piece)) return;
        left -= static_cast<std::uint32_t>(piece);
    }
}

}  // namespace tarvo::archive
