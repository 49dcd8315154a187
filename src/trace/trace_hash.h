#pragma once
// The 64-bit FNV-1a hash the snapshots keep instead of names and contents. Names are folded
// to lower case first: the registry and the file system compare them without regard to case.

#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <string_view>

namespace tarvo::trace {

inline constexpr std::uint64_t kHashSeed = 14695981039346656037ull;

[[nodiscard]] inline std::uint64_t HashBytes(const void* data, std::size_t size,
                                             std::uint64_t hash = kHashSeed) noexcept {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

[[nodiscard]] inline std::uint64_t HashName(std::wstring_view name, std::uint64_t hash = kHashSeed) noexcept {
    for (wchar_t c : name) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
        else if (c > 0x7f)
            c = static_cast<wchar_t>(std::towlower(c));
        hash = HashBytes(&c, sizeof c, hash);
    }
    return hash;
}

[[nodiscard]] inline std::uint64_t HashValue(std::uint64_t value, std::uint64_t hash = kHashSeed) noexcept {
    return HashBytes(&value, sizeof value, hash);
}

}  // namespace tarvo::trace
