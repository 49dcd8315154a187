#pragma once
// Who signed a file: the Authenticode signature embedded in an executable, read through
// crypt32. Never throws.

#include <string>

namespace tarvo::platform {

// The simple display name (CERT_NAME_SIMPLE_DISPLAY_TYPE) of the certificate that signed
// the file's embedded PKCS #7 signature. Empty for an unsigned file, a detached signature
// or any failure of the crypto calls. The signature is not verified: this names the signer,
// it does not vouch for it.
[[nodiscard]] std::wstring AuthenticodeSignerName(const std::wstring& path) noexcept;

}  // namespace tarvo::platform
