#include "platform/authenticode.h"

#include <windows.h>
#include <wincrypt.h>

#include <vector>

#include "platform/unique_handle.h"

namespace tarvo::platform {

namespace {

struct cert_store {
    using type = HCERTSTORE;
    static HCERTSTORE invalid() noexcept { return nullptr; }
    static void close(HCERTSTORE h) noexcept { ::CertCloseStore(h, 0); }
};
struct crypt_message {
    using type = HCRYPTMSG;
    static HCRYPTMSG invalid() noexcept { return nullptr; }
    static void close(HCRYPTMSG h) noexcept { ::CryptMsgClose(h); }
};
struct cert_context {
    using type = PCCERT_CONTEXT;
    static PCCERT_CONTEXT invalid() noexcept { return nullptr; }
    static void close(PCCERT_CONTEXT h) noexcept { ::CertFreeCertificateContext(h); }
};

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

}  // namespace

std::wstring AuthenticodeSignerName(const std::wstring& path) noexcept {
    try {
        unique_any<cert_store> store;
        unique_any<crypt_message> message;
        DWORD encoding = 0, contentType = 0, formatType = 0;
        if (!::CryptQueryObject(CERT_QUERY_OBJECT_FILE, path.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                                CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, &contentType, &formatType,
                                store.put(), message.put(), nullptr))
            return {};

        DWORD size = 0;
        if (!::CryptMsgGetParam(message.get(), CMSG_SIGNER_INFO_PARAM, 0, nullptr, &size) || size == 0) return {};
        // CMSG_SIGNER_INFO holds pointers into the same buffer: keep it aligned for them.
        std::vector<ULONGLONG> buffer((size + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG));
        if (!::CryptMsgGetParam(message.get(), CMSG_SIGNER_INFO_PARAM, 0, buffer.data(), &size)) return {};
        const auto* signer = reinterpret_cast<const CMSG_SIGNER_INFO*>(buffer.data());

        CERT_INFO wanted{};
        wanted.Issuer = signer->Issuer;
        wanted.SerialNumber = signer->SerialNumber;
        unique_any<cert_context> certificate(::CertFindCertificateInStore(
            store.get(), kEncoding, 0, CERT_FIND_SUBJECT_CERT, &wanted, nullptr));
        if (!certificate) return {};

        const DWORD length = ::CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr,
                                                  nullptr, 0);
        if (length <= 1) return {};
        std::wstring name(length, L'\0');
        ::CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), length);
        name.resize(wcsnlen(name.c_str(), name.size()));
        return name;
    } catch (...) {
        return {};
    }
}

}  // namespace tarvo::platform
