#include "archive/haval.h"

#include <algorithm>
#include <cstring>

namespace tarvo::archive {

namespace {

using Word = std::uint32_t;

constexpr Word Ror(Word x, int n) noexcept { return (x >> n) | (x << (32 - n)); }

// The five Boolean functions, arguments in the paper's order x6 … x0.
constexpr Word F1(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0) noexcept {
    return (x1 & (x0 ^ x4)) ^ (x2 & x5) ^ (x3 & x6) ^ x0;
}
constexpr Word F2(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0) noexcept {
    return (x2 & ((x1 & ~x3) ^ (x4 & x5) ^ x6 ^ x0)) ^ (x4 & (x1 ^ x5)) ^ (x3 & x5) ^ x0;
}
constexpr Word F3(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0) noexcept {
    return (x3 & ((x1 & x2) ^ x6 ^ x0)) ^ (x1 & x4) ^ (x2 & x5) ^ x0;
}
constexpr Word F4(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0) noexcept {
    return (x4 & ((x5 & ~x2) ^ (x3 & ~x6) ^ x1 ^ x6 ^ x0)) ^ (x3 & ((x1 & x2) ^ x5 ^ x6)) ^ (x2 & x6) ^ x0;
}
constexpr Word F5(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0) noexcept {
    return (x0 & ((x1 & x2 & x3) ^ ~x5)) ^ (x1 & x4) ^ (x2 & x5) ^ (x3 & x6);
}

// Each pass applies its function to a permutation of x6 … x0 (the 5-pass table of the paper).
Word Phi(int pass, const Word* x) noexcept {
    switch (pass) {
        case 0: return F1(x[3], x[4], x[1], x[0], x[5], x[2], x[6]);
        case 1: return F2(x[6], x[2], x[1], x[0], x[3], x[4], x[5]);
        case 2: return F3(x[2], x[6], x[0], x[4], x[3], x[1], x[5]);
        case 3: return F4(x[1], x[5], x[3], x[2], x[0], x[4], x[6]);
        default: return F5(x[2], x[5], x[0], x[6], x[4], x[3], x[1]);
    }
}

// Message word order of each pass.
constexpr std::uint8_t kOrder[5][32] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31},
    {5, 14, 26, 18, 11, 28, 7, 16, 0, 23, 20, 22, 1, 10, 4, 8, 30, 3, 21, 9, 17, 24, 29, 6, 19, 12, 15, 13, 2, 25, 31, 27},
    {19, 9, 4, 20, 28, 17, 8, 22, 29, 14, 25, 12, 24, 30, 16, 26, 31, 15, 7, 3, 1, 0, 18, 27, 13, 6, 21, 10, 23, 11, 5, 2},
    {24, 4, 0, 14, 2, 7, 28, 23, 26, 6, 30, 20, 18, 25, 19, 3, 22, 11, 31, 21, 8, 27, 12, 9, 1, 29, 5, 15, 17, 10, 16, 13},
    {27, 3, 21, 26, 17, 11, 20, 29, 19, 0, 12, 7, 13, 8, 31, 10, 5, 9, 14, 30, 18, 6, 28, 24, 2, 23, 16, 22, 4, 1, 25, 15},
};

// The round constants of passes 2 to 5: the fractional digits of pi that follow the eight
// words of the initial chaining value.
constexpr Word kConstants[4][32] = {
    {0x452821E6, 0x38D01377, 0xBE5466CF, 0x34E90C6C, 0xC0AC29B7, 0xC97C50DD, 0x3F84D5B5, 0xB5470917,
     0x9216D5D9, 0x8979FB1B, 0xD1310BA6, 0x98DFB5AC, 0x2FFD72DB, 0xD01ADFB7, 0xB8E1AFED, 0x6A267E96,
     0xBA7C9045, 0xF12C7F99, 0x24A19947, 0xB3916CF7, 0x0801F2E2, 0x858EFC16, 0x636920D8, 0x71574E69,
     0xA458FEA3, 0xF4933D7E, 0x0D95748F, 0x728EB658, 0x718BCD58, 0x82154AEE, 0x7B54A41D, 0xC25A59B5},
    {0x9C30D539, 0x2AF26013, 0xC5D1B023, 0x286085F0, 0xCA417918, 0xB8DB38EF, 0x8E79DCB0, 0x603A180E,
     0x6C9E0E8B, 0xB01E8A3E, 0xD71577C1, 0xBD314B27, 0x78AF2FDA, 0x55605C60, 0xE65525F3, 0xAA55AB94,
     0x57489862, 0x63E81440, 0x55CA396A, 0x2AAB10B6, 0xB4CC5C34, 0x1141E8CE, 0xA15486AF, 0x7C72E993,
     0xB3EE1411, 0x636FBC2A, 0x2BA9C55D, 0x741831F6, 0xCE5C3E16, 0x9B87931E, 0xAFD6BA33, 0x6C24CF5C},
    {0x7A325381, 0x28958677, 0x3B8F4898, 0x6B4BB9AF, 0xC4BFE81B, 0x66282193, 0x61D809CC, 0xFB21A991,
     0x487CAC60, 0x5DEC8032, 0xEF845D5D, 0xE98575B1, 0xDC262302, 0xEB651B88, 0x23893E81, 0xD396ACC5,
     0x0F6D6FF3, 0x83F44239, 0x2E0B4482, 0xA4842004, 0x69C8F04A, 0x9E1F9B5E, 0x21C66842, 0xF6E96C9A,
     0x670C9C61, 0xABD388F0, 0x6A51A0D2, 0xD8542F68, 0x960FA728, 0xAB5133A3, 0x6EEF0B6C, 0x137A3BE4},
    {0xBA3BF050, 0x7EFB2A98, 0xA1F1651D, 0x39AF0176, 0x66CA593E, 0x82430E88, 0x8CEE8619, 0x456F9FB4,
     0x7D84A5C3, 0x3B8B5EBE, 0xE06F75D8, 0x85C12073, 0x401A449F, 0x56C16AA6, 0x4ED3AA62, 0x363F7706,
     0x1BFEDF72, 0x429B023D, 0x37D0D724, 0xD00A1248, 0xDB0FEAD3, 0x49F1C09B, 0x075372C9, 0x80991B7B,
     0x25D479D8, 0xF6E8DEF7, 0xE3FE501A, 0xB6794C3B, 0x976CE0BD, 0x04C006BA, 0xC1A94FB6, 0x409F60C4},
};

constexpr std::array<Word, 8> kInitial = {0x243F6A88, 0x85A308D3, 0x13198A2E, 0x03707344,
                                          0xA4093822, 0x299F31D0, 0x082EFA98, 0xEC4E6C89};

}  // namespace

Haval256::Haval256() noexcept : state_(kInitial) {}

void Haval256::CompressBlock(const std::uint8_t* block) noexcept {
    Word w[32];
    for (int i = 0; i < 32; ++i) {
        const std::uint8_t* b = block + 4 * i;
        w[i] = Word{b[0]} | (Word{b[1]} << 8) | (Word{b[2]} << 16) | (Word{b[3]} << 24);
    }
    Word t[8];
    for (int i = 0; i < 8; ++i) t[i] = state_[static_cast<std::size_t>(i)];
    for (int pass = 0; pass < 5; ++pass) {
        for (int step = 0; step < 32; ++step) {
            // Step s works on the registers rotated by s: x_k is t[(k - s) mod 8].
            Word x[8];
            for (int k = 0; k < 8; ++k) x[k] = t[(k - step + 64) & 7];
            const Word c = pass == 0 ? 0 : kConstants[pass - 1][step];
            const Word value = Ror(Phi(pass, x), 7) + Ror(x[7], 11) + w[kOrder[pass][step]] + c;
            t[(7 - step + 64) & 7] = value;
        }
    }
    for (int i = 0; i < 8; ++i) state_[static_cast<std::size_t>(i)] += t[i];
}

void Haval256::Update(const void* data, std::size_t size) noexcept {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    length_ += size;
    while (size > 0) {
        const std::size_t take = std::min(size, buffer_.size() - buffered_);
        std::memcpy(buffer_.data() + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        size -= take;
        if (buffered_ == buffer_.size()) {
            CompressBlock(buffer_.data());
            buffered_ = 0;
        }
    }
}

HavalDigest Haval256::Finish(std::uint8_t padByte) noexcept {
    const std::uint64_t bits = length_ * 8;
    buffer_[buffered_] = padByte;
    std::memset(buffer_.data() + buffered_ + 1, 0, buffer_.size() - buffered_ - 1);
    // The tail needs bytes 118 … 127 of the last block: no room, one more block.
    if (buffered_ >= 118) {
        CompressBlock(buffer_.data());
        buffer_.fill(0);
    }
    // Version 1, 5 passes, 256 bits: 0x29 0x40, then the length in bits.
    buffer_[118] = 0x29;
    buffer_[119] = 0x40;
    for (int i = 0; i < 8; ++i) buffer_[static_cast<std::size_t>(120 + i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    CompressBlock(buffer_.data());
    const HavalDigest digest = ChainingValue();
    *this = Haval256();
    return digest;
}

HavalDigest Haval256::ChainingValue() const noexcept {
    HavalDigest digest{};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t b = 0; b < 4; ++b) digest[4 * i + b] = static_cast<std::uint8_t>(state_[i] >> (8 * b));
    return digest;
}

}  // namespace tarvo::archive
