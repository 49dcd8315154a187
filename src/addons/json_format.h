#pragma once
// Browser settings files (Chrome's and Opera's Preferences) read with nlohmann/json and
// written back in our own indented layout, CR LF line ends, numbers as they were read.

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tarvo::addons {

using Json = nlohmann::ordered_json;

// A number read with a fraction or an exponent is kept as its source text, held in a
// binary value with this subtype, so it is written back exactly as it was read ("1.50"
// stays "1.50"). Integers are held as integers: they round-trip as they are.
inline constexpr std::uint64_t kNumberTextSubtype = 0x4E;

// Browser settings files are a few levels deep; a file nested thousands of levels (damaged,
// or made to hurt) is refused before it is parsed, since everything that walks a parsed
// document, the indented writer first, goes down it by recursion.
inline constexpr int kMaxJsonDepth = 256;
[[nodiscard]] bool JsonDepthWithin(std::string_view text, int limit = kMaxJsonDepth) noexcept;

// Parses UTF-8 JSON text keeping member order and the text of fractional numbers;
// nullopt when the text is not JSON or nests deeper than kMaxJsonDepth.
[[nodiscard]] std::optional<Json> ParseJsonKeepingNumbers(std::string_view text);

// A fractional number's value, whether held as a double or as kept source text.
[[nodiscard]] std::optional<double> JsonNumber(const Json& value);

// The indented text of a value. `depth` counts levels: 0 for a whole document; every value
// written adds one on entry and takes it off again on exit.
[[nodiscard]] std::string FormatJson(const Json& value, int& depth);

// The JSON string form: quote and backslash escaped, \b \t \n \f \r, and every other
// character below U+0020 or above U+007F and each of < > [ ] as \u with lower-case hex.
[[nodiscard]] std::string JsonStringText(std::string_view utf8);

}  // namespace tarvo::addons
