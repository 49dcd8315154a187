#pragma once
// Firefox's compressed settings files ("search.json.mozlz4" and its kin): the eight bytes
// "mozLz40\0", the uncompressed size as a 32-bit little-endian number, then one LZ4 block.

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::browserdefaults {

// The plain bytes; nullopt for a file without the header, a size beyond what a settings file
// reaches, or a block that does not decode to exactly the size the header claims.
[[nodiscard]] std::optional<std::string> DecodeMozLz4(std::string_view file);
// The file for `plain`: header, size and one LZ4 block. Nothing for input LZ4 cannot take.
[[nodiscard]] std::optional<std::string> EncodeMozLz4(std::string_view plain);

}  // namespace tarvo::browserdefaults
