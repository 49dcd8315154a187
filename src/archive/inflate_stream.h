#pragma once
// zlib (RFC 1950) inflation from a file into a sink, in bounded pieces, reading no more than
// the bytes the caller allows and producing exactly the bytes it asks for.

#include <cstdint>
#include <string>

#include "archive/byte_sink.h"
#include "platform/file_stream.h"

namespace tarvo::archive {

// zlib cannot expand a byte into more than about 1032 bytes; a size claimed beyond that
// for the input at hand is a lie, and is refused before anything is inflated.
[[nodiscard]] constexpr bool PlausibleInflatedSize(std::int64_t input, std::int64_t output) noexcept {
    return input >= 0 && output >= 0 && output <= input * 1032 + 1024;
}

// Inflates from the current position of `source`, reading at most `inputLimit` bytes,
// until `outputSize` bytes went to `dest`. False on a zlib error, a stream that ends or
// runs out of input early, or a sink that refuses.
[[nodiscard]] bool InflateBounded(ByteSource& source, std::int64_t inputLimit, ByteSink& dest,
                                  std::int64_t outputSize);

// The same from memory into memory: exactly `outputSize` bytes, or nothing.
[[nodiscard]] bool InflateBuffer(const std::string& input, std::size_t outputSize, std::string& output);

}  // namespace tarvo::archive
