#pragma once
// Message digests through the system's CryptoAPI: the program ships no hash code of its own
// for the digests that Windows already provides.

#include <windows.h>
#include <wincrypt.h>

#include <array>
#include <cstddef>
#include <optional>

#include "platform/unique_handle.h"

namespace tarvo::platform {

namespace traits {
struct crypt_provider {
    using type = HCRYPTPROV;
    static HCRYPTPROV invalid() noexcept { return 0; }
    static void close(HCRYPTPROV h) noexcept { ::CryptReleaseContext(h, 0); }
};
struct crypt_hash {
    using type = HCRYPTHASH;
    static HCRYPTHASH invalid() noexcept { return 0; }
    static void close(HCRYPTHASH h) noexcept { ::CryptDestroyHash(h); }
};
}  // namespace traits

using unique_hcryptprov = unique_any<traits::crypt_provider>;
using unique_hcrypthash = unique_any<traits::crypt_hash>;

using Md5Digest = std::array<unsigned char, 16>;

// Holds a hash provider for many digests: acquiring one costs far more than hashing a line.
// The AES provider where it exists, the base RSA provider otherwise (older systems).
class Md5Hasher {
public:
    Md5Hasher() noexcept;
    [[nodiscard]] bool ok() const noexcept { return provider_.is_valid(); }
    // Nullopt when the provider is missing or refuses.
    [[nodiscard]] std::optional<Md5Digest> Compute(const void* data, std::size_t size) const noexcept;

private:
    unique_hcryptprov provider_;
};

// One digest with a provider of its own.
[[nodiscard]] std::optional<Md5Digest> ComputeMd5(const void* data, std::size_t size) noexcept;

}  // namespace tarvo::platform
