// Reading a shortcut's local target from its own records: links written by the system's
// shell, and damaged or cut-off links, which must give nothing rather than read past the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "inventory/shell_link_file.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "support/scratch_folder.h"

using tarvo::inventory::LinkTargetFromBytes;
using tarvo::inventory::LinkTargetFromFile;

namespace {

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    if (bytes.size() < at + 4) bytes.resize(at + 4, '\0');
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A link with no item-ID list whose link-info block (at 76) holds `path` as its local base
// path; `tail` follows the narrow path's zero inside the same field.
struct Crafted {
    std::uint32_t infoFlags = 1;
    std::string narrow = "C:\\Tools\\tool.exe";
    std::string tail;  // bytes after the narrow path's zero, still inside the field
};

std::string CraftLink(const Crafted& c) {
    std::string bytes(76, '\0');
    Put32(bytes, 0, 0x4C);
    Put32(bytes, 20, 0);  // no ID list
    const std::uint32_t d = 28;
    const auto fieldSize = static_cast<std::uint32_t>(c.narrow.size() + 1 + c.tail.size());
    Put32(bytes, 76 + 0, d + fieldSize);  // link-info size
    Put32(bytes, 76 + 8, c.infoFlags);
    Put32(bytes, 76 + 16, d);
    Put32(bytes, 76 + 20, 0);              // no network link
    Put32(bytes, 76 + 24, d + fieldSize);  // path suffix right after the field
    bytes.resize(76 + d, '\0');
    bytes += c.narrow;
    bytes += '\0';
    bytes += c.tail;
    bytes += '\0';  // the empty suffix
    return bytes;
}

std::string Wide(const std::wstring& text) {
    std::string bytes;
    for (wchar_t ch : text) {
        bytes += static_cast<char>(ch & 0xFF);
        bytes += static_cast<char>((ch >> 8) & 0xFF);
    }
    bytes.append(2, '\0');
    return bytes;
}

auto NamesOnly(std::wstring existing) {
    return [existing](const std::wstring& path) { return path == existing; };
}

}  // namespace

TEST(ShellLinkFile, LinksWrittenByTheShell) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring target = scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    const std::wstring folder = scratch.MakeFolder(L"Work");

    const std::wstring local = scratch.PathOf(L"local.lnk");
    ASSERT_TRUE(tarvo::platform::CreateShellLinkIn(local, target, folder));
    EXPECT_EQ(LinkTargetFromFile(local), target);
    EXPECT_EQ(tarvo::platform::ShellLinkWorkingFolder(local), folder);

    // A network target is not read from the link's own data; its working folder still is.
    const std::wstring network = scratch.PathOf(L"network.lnk");
    ASSERT_TRUE(tarvo::platform::CreateShellLinkIn(network, L"\\\\server\\share\\tool.exe", folder));
    EXPECT_EQ(LinkTargetFromFile(network), L"");
    EXPECT_EQ(tarvo::platform::ShellLinkWorkingFolder(network), folder);

    EXPECT_EQ(LinkTargetFromFile(scratch.PathOf(L"missing.lnk")), L"");
    EXPECT_EQ(tarvo::platform::ShellLinkWorkingFolder(scratch.PathOf(L"missing.lnk")), L"");
    EXPECT_EQ(tarvo::platform::ShellLinkWorkingFolder(target), L"");  // not a link at all
}

TEST(ShellLinkFile, EveryTruncationOfARealLinkGivesNothingOrTheWholeTarget) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring target = scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    const std::wstring link = scratch.PathOf(L"foo.lnk");
    ASSERT_TRUE(tarvo::platform::CreateShellLinkIn(link, target, scratch.path()));
    const auto bytes = tarvo::platform::ReadFileBytes(link);
    ASSERT_TRUE(bytes);
    const auto exists = NamesOnly(target);
    ASSERT_EQ(LinkTargetFromBytes(*bytes, CP_ACP, exists), target);

    // Below some length nothing is found, from it on the whole target: never a part of it.
    std::size_t firstFound = bytes->size();
    for (std::size_t length = 0; length <= bytes->size(); ++length) {
        const std::wstring found = LinkTargetFromBytes(std::string_view(*bytes).substr(0, length), CP_ACP, exists);
        if (!found.empty() && firstFound == bytes->size()) firstFound = length;
        if (length < firstFound) EXPECT_EQ(found, L"") << "length " << length;
        else EXPECT_EQ(found, target) << "length " << length;
    }
    EXPECT_GT(firstFound, 76u);
}

TEST(ShellLinkFile, DamagedRecordsGiveNothing) {
    const std::string good = CraftLink({});
    ASSERT_EQ(LinkTargetFromBytes(good, CP_ACP, NamesOnly(L"C:\\Tools\\tool.exe")), L"C:\\Tools\\tool.exe");

    const struct {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    } cases[] = {
        {"header size", 0, 0x4D},
        {"network and local", 76 + 8, 3},
        {"network only", 76 + 8, 2},
        {"no local path", 76 + 8, 0},
        {"base path after its end", 76 + 16, 0xFFFFFFF0},
        {"base path equal to its end", 76 + 16, 28 + 18},
        {"end far past the file", 76 + 24, 0x7FFFFFFF},
        {"end wraps around", 76 + 24, 0xFFFFFFFF},
        {"path longer than 260 bytes", 76 + 24, 28 + 261},
        {"ID list claimed but huge", 20, 1},
    };
    for (const auto& c : cases) {
        std::string bytes = good;
        Put32(bytes, c.at, c.value);
        if (c.at == 20) Put32(bytes, 76, 0xFFFF);  // the ID list's size runs past the end
        EXPECT_EQ(LinkTargetFromBytes(bytes, CP_ACP, [](const std::wstring&) { return true; }), L"") << c.what;
    }
    // A field without its terminating zero is read as far as it goes and names nothing.
    Crafted unterminated;
    std::string bytes = CraftLink(unterminated);
    bytes[76 + 28 + unterminated.narrow.size()] = 'x';
    bytes.back() = 'y';
    EXPECT_EQ(LinkTargetFromBytes(bytes, CP_ACP, NamesOnly(L"C:\\Tools\\tool.exe")), L"");
}

TEST(ShellLinkFile, WidePathAfterTheNarrowOneIsTriedOneThenTwoBytesOn) {
    const std::wstring wide = L"C:\\Tools\\t\u00F6\u00F6l.exe";
    // The narrow form names no file; right after its zero the wide form does.
    Crafted padded;
    padded.narrow = "C:\\Tools\\t??l.exe";
    padded.tail = Wide(wide);
    EXPECT_EQ(LinkTargetFromBytes(CraftLink(padded), CP_ACP, NamesOnly(wide)), wide);
    // Without a pad the one-byte attempt is garbage; the two-byte one is the answer, whether
    // it names a file or not.
    Crafted even;
    even.narrow = "C:\\Tools\\t??l.exe";
    even.tail.push_back('x');
    even.tail += Wide(wide);
    EXPECT_EQ(LinkTargetFromBytes(CraftLink(even), CP_ACP, NamesOnly(L"none")), wide);
}
