#include "browserdefaults/mozlz4.h"

#include <lz4.h>

#include <cstdint>

namespace tarvo::browserdefaults {

namespace {

constexpr std::string_view kMagic("mozLz40\0", 8);
constexpr std::size_t kHeaderSize = 12;
// A search list of a few hundred engines with their icons stays far below this; a header
// claiming more is damage or a trap, and must not buy an allocation of that size.
constexpr std::uint32_t kLargestPlain = 64u << 20;

}  // namespace

std::optional<std::string> DecodeMozLz4(std::string_view file) {
    if (file.size() < kHeaderSize || file.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(file[8 + static_cast<std::size_t>(i)]);
    const std::string_view block = file.substr(kHeaderSize);
    if (size > kLargestPlain || block.size() > static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(kLargestPlain))))
        return std::nullopt;
    std::string plain(size, '\0');
    const int decoded = LZ4_decompress_safe(block.data(), plain.data(), static_cast<int>(block.size()),
                                            static_cast<int>(size));
    if (decoded < 0 || static_cast<std::uint32_t>(decoded) != size) return std::nullopt;
    return plain;
}

std::optional<std::string> EncodeMozLz4(std::string_view plain) {
    if (plain.size() > kLargestPlain) return std::nullopt;
    const int bound = LZ4_compressBound(static_cast<int>(plain.size()));
    std::string file(kHeaderSize + static_cast<std::size_t>(bound), '\0');
    file.replace(0, kMagic.size(), kMagic);
    const auto size = static_cast<std::uint32_t>(plain.size());
    for (std::size_t i = 0; i < 4; ++i) file[8 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    const int packed = LZ4_compress_default(plain.data(), file.data() + kHeaderSize, static_cast<int>(plain.size()), bound);
    if (packed <= 0 && !plain.empty()) return std::nullopt;
    file.resize(kHeaderSize + static_cast<std::size_t>(packed > 0 ? packed : 0));
    return file;
}

}  // namespace tarvo::browserdefaults
