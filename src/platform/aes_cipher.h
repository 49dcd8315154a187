#pragma once
// AES-256 through the system's CryptoAPI (PROV_RSA_AES): CBC blocks in both directions
// and single-block encryption without chaining, for a short last block that is XOR-ed
// with the encrypted chaining value. The program ships no cipher code of its own.

#include <windows.h>
#include <wincrypt.h>

#include <array>
#include <cstddef>

#include "platform/crypto_hash.h"

namespace tarvo::platform {

namespace traits {
struct crypt_key {
    using type = HCRYPTKEY;
    static HCRYPTKEY invalid() noexcept { return 0; }
    static void close(HCRYPTKEY h) noexcept { ::CryptDestroyKey(h); }
};
}  // namespace traits

using unique_hcryptkey = unique_any<traits::crypt_key>;

using AesKey256 = std::array<unsigned char, 32>;
using AesBlock = std::array<unsigned char, 16>;

class Aes256Cipher {
public:
    // Acquires the AES provider and imports the key twice: once chained (CBC from `iv`),
    // once for single blocks. ok() says whether all of it worked.
    Aes256Cipher(const AesKey256& key, const AesBlock& iv) noexcept;
    [[nodiscard]] bool ok() const noexcept { return cbc_.is_valid() && ecb_.is_valid(); }

    // In place, `size` a multiple of 16; the chaining value carries over between calls.
    [[nodiscard]] bool DecryptCbc(unsigned char* data, std::size_t size) noexcept;
    [[nodiscard]] bool EncryptCbc(unsigned char* data, std::size_t size) noexcept;
    // One block through the plain cipher, no chaining.
    [[nodiscard]] bool EncryptBlock(AesBlock& block) noexcept;

private:
    unique_hcryptkey cbc_;
    unique_hcryptkey ecb_;
};

}  // namespace tarvo::platform
