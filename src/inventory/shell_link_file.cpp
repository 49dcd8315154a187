#include "inventory/shell_link_file.h"

#include <cstdint>
#include <optional>

#include "platform/files.h"
#include "platform/text.h"

namespace tarvo::inventory {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::size_t kFlagsOffset = 20;
constexpr std::uint32_t kHasTargetIdList = 0x1;
constexpr std::size_t kIdListSizeOffset = 76;
constexpr std::size_t kLinkInfoStart = 76;
// Link-info fields, from the start of the block.
constexpr std::size_t kInfoFlagsOffset = 8;
constexpr std::size_t kLocalBasePathOffset = 16;
constexpr std::size_t kNetworkLinkOffset = 20;
constexpr std::size_t kPathSuffixOffset = 24;
// Only a local volume with a local base path: anything else is a network target.
constexpr std::uint32_t kLocalOnly = 0x1;
constexpr std::uint64_t kMaxPathBytes = 260;

// Little-endian reads that refuse to go past the end of the data.
std::optional<std::uint32_t> Read32(std::string_view data, std::uint64_t at) {
    if (at > data.size() || data.size() - at < 4) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + static_cast<std::size_t>(at));
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::optional<std::uint16_t> Read16(std::string_view data, std::uint64_t at) {
    if (at > data.size() || data.size() - at < 2) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + static_cast<std::size_t>(at));
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// UTF-16 little-endian units from `at` to the first zero unit or the end of `bytes`; an odd
// last byte is dropped.
std::wstring Utf16From(std::string_view bytes, std::size_t at) {
    std::wstring text;
    for (std::size_t i = at; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                               static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit == L'\0') break;
        text.push_back(unit);
    }
    return text;
}

}  // namespace

std::wstring LinkTargetFromBytes(std::string_view link, UINT codePage, const NamesFileFn& namesFile) {
    const auto header = Read32(link, 0);
    if (!header || *header != kHeaderSize) return {};
    const auto flags = Read32(link, kFlagsOffset);
    if (!flags) return {};
    std::uint64_t skip = 0;
    if (*flags & kHasTargetIdList) {
        const auto idListSize = Read16(link, kIdListSizeOffset);
        if (!idListSize) return {};
        skip = std::uint64_t{*idListSize} + 2;
    }
    const std::uint64_t block = kLinkInfoStart + skip;
    const auto infoFlags = Read32(link, block + kInfoFlagsOffset);
    if (!infoFlags || *infoFlags != kLocalOnly) return {};
    const auto basePath = Read32(link, block + kLocalBasePathOffset);
    auto end = Read32(link, block + kNetworkLinkOffset);
    if (!basePath || !end) return {};
    if (*end == 0) end = Read32(link, block + kPathSuffixOffset);
    if (!end) return {};
    const std::uint64_t d = *basePath;
    const std::uint64_t c = *end;
    if (!(d < c && c <= d + kMaxPathBytes)) return {};
    if (block + c > link.size()) return {};

    const std::string_view path = link.substr(static_cast<std::size_t>(block + d), static_cast<std::size_t>(c - d));
    const std::size_t zero = path.find('\0');
    const std::string_view ansi = path.substr(0, zero);
    const std::wstring local = platform::MultiByteToWide(ansi.data(), ansi.size(), codePage);
    if (!local.empty() && namesFile && namesFile(local)) return local;
    // Some writers put the wide form of the path right after the narrow one.
    if (zero == std::string_view::npos) return {};
    const std::wstring wideAfterOne = Utf16From(path, zero + 1);
    if (!wideAfterOne.empty() && namesFile && namesFile(wideAfterOne)) return wideAfterOne;
    return Utf16From(path, zero + 2);
}

std::wstring LinkTargetFromFile(const std::wstring& path) {
    if (!platform::FileExists(path)) return {};
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes) return {};
    return LinkTargetFromBytes(*bytes, CP_ACP, [](const std::wstring& p) { return platform::FileExists(p); });
}

}  // namespace tarvo::inventory
