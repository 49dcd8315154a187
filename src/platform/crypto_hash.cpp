#include "platform/crypto_hash.h"

#include <windows.h>
#include <wincrypt.h>

#include "platform/unique_handle.h"

namespace tarvo::platform {

namespace {

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

unique_hcryptprov AcquireHashProvider() noexcept {
    unique_hcryptprov provider;
    for (const DWORD type : {static_cast<DWORD>(PROV_RSA_AES), static_cast<DWORD>(PROV_RSA_FULL)}) {
        if (::CryptAcquireContextW(provider.put(), nullptr, nullptr, type, CRYPT_VERIFYCONTEXT))
            return provider;
    }
    return {};
}

}  // namespace

std::optional<Md5Digest> ComputeMd5(const void* data, std::size_t size) noexcept {
    const unique_hcryptprov provider = AcquireHashProvider();
    if (!provider) return std::nullopt;
    unique_hcrypthash hash;
    if (!::CryptCreateHash(provider.get(), CALG_MD5, 0, 0, hash.put())) return std::nullopt;
    // CryptHashData takes a DWORD count; feed larger inputs in pieces.
    const auto* bytes = static_cast<const BYTE*>(data);
    std::size_t left = size;
    do {
        const DWORD piece = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        if (!::CryptHashData(hash.get(), bytes, piece, 0)) return std::nullopt;
        bytes += piece;
        left -= piece;
    } while (left > 0);
    Md5Digest digest{};
    DWORD length = static_cast<DWORD>(digest.size());
    if (!::CryptGetHashParam(hash.get(), HP_HASHVAL, digest.data(), &length, 0) || length != digest.size())
        return std::nullopt;
    return digest;
}

}  // namespace tarvo::platform
