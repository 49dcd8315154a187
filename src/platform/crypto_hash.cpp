#include "platform/crypto_hash.h"

namespace tarvo::platform {

Md5Hasher::Md5Hasher() noexcept {
    for (const DWORD type : {static_cast<DWORD>(PROV_RSA_AES), static_cast<DWORD>(PROV_RSA_FULL)}) {
        if (::CryptAcquireContextW(provider_.put(), nullptr, nullptr, type, CRYPT_VERIFYCONTEXT)) return;
    }
}

std::optional<Md5Digest> Md5Hasher::Compute(const void* data, std::size_t size) const noexcept {
    if (!provider_) return std::nullopt;
    unique_hcrypthash hash;
    if (!::CryptCreateHash(provider_.get(), CALG_MD5, 0, 0, hash.put())) return std::nullopt;
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

std::optional<Md5Digest> ComputeMd5(const void* data, std::size_t size) noexcept {
    return Md5Hasher().Compute(data, size);
}

}  // namespace tarvo::platform
