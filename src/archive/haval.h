#pragma once
// HAVAL with 5 passes and a 256-bit digest (Zheng, Pieprzyk, Seberry, AUSCRYPT '92), our
// own code. The archive key uses it with a finalisation of its own: the padding starts with
// 0x80 instead of the published 0x01. Everything else, the tail bytes included, is the
// published algorithm, so the published test vectors check the core.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarvo::archive {

using HavalDigest = std::array<std::uint8_t, 32>;

class Haval256 {
public:
    Haval256() noexcept;
    void Update(const void* data, std::size_t size) noexcept;
    // The published padding (0x01) ...
    [[nodiscard]] HavalDigest FinishStandard() noexcept { return Finish(0x01); }
    // ... and the archive key's (0x80).
    [[nodiscard]] HavalDigest FinishArchive() noexcept { return Finish(0x80); }

    // One 128-byte block through the compression function; public so tests can build the
    // padded blocks by hand and compare.
    void CompressBlock(const std::uint8_t* block) noexcept;
    [[nodiscard]] HavalDigest ChainingValue() const noexcept;

private:
    HavalDigest Finish(std::uint8_t padByte) noexcept;

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 128> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes hashed so far
};

}  // namespace tarvo::archive
