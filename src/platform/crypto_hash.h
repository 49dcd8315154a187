#pragma once
// Message digests through the system's CryptoAPI: the program ships no hash code of its own
// for the digests that Windows already provides.

#include <array>
#include <cstddef>
#include <optional>

namespace tarvo::platform {

using Md5Digest = std::array<unsigned char, 16>;

// MD5 of the bytes, from the AES provider where it exists and the base RSA provider
// otherwise (older systems); nullopt when neither provider can hash.
[[nodiscard]] std::optional<Md5Digest> ComputeMd5(const void* data, std::size_t size) noexcept;

}  // namespace tarvo::platform
