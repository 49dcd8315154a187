#include "addons/json_format.h"

#include <cstdio>

#include "platform/text.h"

namespace tarvo::addons {

namespace {

// The library's own tree builder, except that a fractional number becomes its source text.
class KeepNumberText : public nlohmann::detail::json_sax_dom_parser<Json> {
public:
    explicit KeepNumberText(Json& root) : json_sax_dom_parser(root, false) {}

    bool number_float(double, const std::string& text) {
        Json::binary_t kept(std::vector<std::uint8_t>(text.begin(), text.end()), kNumberTextSubtype);
        return binary(kept);
    }
};

std::string Indent(int level) { return level > 0 ? std::string(static_cast<std::size_t>(level) * 2, ' ') : ""; }

std::string Scalar(const Json& value) {
    if (value.is_string()) return JsonStringText(value.get_ref<const std::string&>());
    if (value.is_binary()) {
        const auto& bytes = value.get_binary();
        if (bytes.has_subtype() && bytes.subtype() == kNumberTextSubtype) return std::string(bytes.begin(), bytes.end());
        return "null";  // no other binary value comes out of a JSON text
    }
    return value.dump();
}

}  // namespace

bool JsonDepthWithin(std::string_view text, int limit) noexcept {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

std::optional<Json> ParseJsonKeepingNumbers(std::string_view text) {
    if (!JsonDepthWithin(text)) return std::nullopt;
    Json root;
    KeepNumberText builder(root);
    if (!Json::sax_parse(text.begin(), text.end(), &builder, nlohmann::detail::input_format_t::json, true) ||
        root.is_discarded())
        return std::nullopt;
    return root;
}

std::optional<double> JsonNumber(const Json& value) {
    if (value.is_number()) return value.get<double>();
    if (value.is_binary() && value.get_binary().has_subtype() && value.get_binary().subtype() == kNumberTextSubtype) {
        const std::string text(value.get_binary().begin(), value.get_binary().end());
        return std::strtod(text.c_str(), nullptr);
    }
    return std::nullopt;
}

std::string JsonStringText(std::string_view utf8) {
    const std::wstring text = platform::WideFromUtf8(utf8);
    std::string out = "\"";
    for (const wchar_t c : text) {
        switch (c) {
            case L'"': out += "\\\""; continue;
            case L'\\': out += "\\\\"; continue;
            case 8: out += "\\b"; continue;
            case 9: out += "\\t"; continue;
            case 10: out += "\\n"; continue;
            case 12: out += "\\f"; continue;
            case 13: out += "\\r"; continue;
            default: break;
        }
        if (c < 0x20 || c > 0x7F || c == L'<' || c == L'>' || c == L'[' || c == L']') {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

std::string FormatJson(const Json& value, int& depth) {
    ++depth;
    std::string out;
    if (value.is_object()) {
        if (value.empty()) {
            out = "{}";
        } else {
            const int level = depth;
            out = "{\r\n";
            bool first = true;
            for (const auto& [name, member] : value.items()) {
                if (!first) out += ",\r\n";
                first = false;
                // The member's value is written one level below the member's own line.
                out += Indent(level) + JsonStringText(name) + ": " + FormatJson(member, depth);
            }
            out += "\r\n" + Indent(level - 1) + "}";
        }
    } else if (value.is_array()) {
        if (value.empty()) {
            out = "[]";
        } else {
            out = "[ ";
            bool first = true;
            for (const auto& element : value) {
                if (!first) out += ", ";
                first = false;
                out += FormatJson(element, depth);
            }
            out += " ]";
        }
    } else {
        out = Scalar(value);
    }
    --depth;
    return out;
}

}  // namespace tarvo::addons
