#include "platform/aes_cipher.h"

#include <cstring>

namespace tarvo::platform {

namespace {

struct AesKeyBlob {
    BLOBHEADER header;
    DWORD size;
    BYTE key[32];
};

bool ImportKey(HCRYPTPROV provider, const AesKey256& key, unique_hcryptkey& out) noexcept {
    AesKeyBlob blob{};
    blob.header.bType = PLAINTEXTKEYBLOB;
    blob.header.bVersion = CUR_BLOB_VERSION;
    blob.header.aiKeyAlg = CALG_AES_256;
    blob.size = 32;
    std::memcpy(blob.key, key.data(), key.size());
    const BOOL imported = ::CryptImportKey(provider, reinterpret_cast<const BYTE*>(&blob), sizeof blob, 0, 0, out.put());
    SecureZeroMemory(&blob, sizeof blob);
    return imported != FALSE;
}

bool SetMode(const unique_hcryptkey& key, DWORD mode) noexcept {
    return ::CryptSetKeyParam(key.get(), KP_MODE, reinterpret_cast<const BYTE*>(&mode), 0) != FALSE;
}

}  // namespace

namespace {

// Acquiring the provider costs several milliseconds, more than decrypting a small entry;
// a key-less (verify) context is safe to share between threads, so one serves the process.
HCRYPTPROV SharedAesProvider() noexcept {
    static const unique_hcryptprov provider = [] {
        unique_hcryptprov acquired;
        if (!::CryptAcquireContextW(acquired.put(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return unique_hcryptprov();
        return acquired;
    }();
    return provider.get();
}

}  // namespace

Aes256Cipher::Aes256Cipher(const AesKey256& key, const AesBlock& iv) noexcept {
    const HCRYPTPROV provider = SharedAesProvider();
    if (!provider) return;
    unique_hcryptkey cbc;
    unique_hcryptkey ecb;
    if (!ImportKey(provider, key, cbc) || !SetMode(cbc, CRYPT_MODE_CBC) ||
        !::CryptSetKeyParam(cbc.get(), KP_IV, iv.data(), 0))
        return;
    if (!ImportKey(provider, key, ecb) || !SetMode(ecb, CRYPT_MODE_ECB)) return;
    cbc_ = std::move(cbc);
    ecb_ = std::move(ecb);
}

bool Aes256Cipher::DecryptCbc(unsigned char* data, std::size_t size) noexcept {
    if (!ok() || size % 16 != 0) return false;
    // Not final: no padding is looked for, and the chaining value is kept for the next call.
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(size > 0x10000000u ? 0x10000000u : size);
        DWORD length = piece;
        if (!::CryptDecrypt(cbc_.get(), 0, FALSE, 0, data, &length) || length != piece) return false;
        data += piece;
        size -= piece;
    }
    return true;
}

bool Aes256Cipher::EncryptCbc(unsigned char* data, std::size_t size) noexcept {
    if (!ok() || size % 16 != 0) return false;
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(size > 0x10000000u ? 0x10000000u : size);
        DWORD length = piece;
        if (!::CryptEncrypt(cbc_.get(), 0, FALSE, 0, data, &length, piece) || length != piece) return false;
        data += piece;
        size -= piece;
    }
    return true;
}

bool Aes256Cipher::EncryptBlock(AesBlock& block) noexcept {
    if (!ok()) return false;
    DWORD length = 16;
    return ::CryptEncrypt(ecb_.get(), 0, FALSE, 0, block.data(), &length, 16) && length == 16;
}

}  // namespace tarvo::platform
