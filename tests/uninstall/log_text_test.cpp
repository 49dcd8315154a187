#include "uninstall/log_text.h"

#include <gtest/gtest.h>

#include <windows.h>

using tarvo::uninstall::DecodeLogText;
using tarvo::uninstall::EncodeLogText;
using Lines = std::vector<std::wstring>;

namespace {
std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes.push_back(static_cast<char>(v));
    return bytes;
}
}  // namespace

TEST(LogText, DecodesEveryByteOrderMarkAndLineEnd) {
    struct Case {
        const char* what;
        std::string bytes;
        Lines expected;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"UTF-16LE, CR LF, last line ended", Bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 0xAC, 0x20, 0x0D, 0, 0x0A, 0}),
         {L"a", L"\u20AC"}},
        {"UTF-16LE, last line not ended", Bytes({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0, 'b', 0}), {L"a", L"b"}},
        {"UTF-16LE, odd trailing byte dropped", Bytes({0xFF, 0xFE, 'a', 0, 'b'}), {L"a"}},
        {"UTF-16BE", Bytes({0xFE, 0xFF, 0, 'x', 0x20, 0xAC, 0, 0x0A}), {L"x\u20AC"}},
        {"UTF-8 with mark", Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0xA9, '\r', '\n'}), {L"\u00E9"}},
        {"LF, CR and CR LF mixed, empty lines kept", "a\nb\rc\r\n\r\nd", {L"a", L"b", L"c", L"", L"d"}},
        {"only a line end", "\r\n", {L""}},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeLogText(c.bytes), c.expected) << c.what;
}

TEST(LogText, ReadsAnsiWithoutMarkInTheSystemCodePage) {
    const std::string ansi = "Caf\xE9 \x80";
    const auto lines = DecodeLogText(ansi + "\r\n");
    ASSERT_EQ(lines.size(), 1u);
    if (::GetACP() == 1252) {
        EXPECT_EQ(lines[0], L"Caf\u00E9 \u20AC");
    } else {
        wchar_t expected[16] = {};
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), expected, 16);
        EXPECT_EQ(lines[0], expected);
    }
}

TEST(LogText, EncodesUtf16LeWithMarkAndCrLfAfterEveryLine) {
    EXPECT_EQ(EncodeLogText({}), Bytes({0xFF, 0xFE}));
    EXPECT_EQ(EncodeLogText({L"", L"A\u20AC"}),
              Bytes({0xFF, 0xFE, 0x0D, 0, 0x0A, 0, 'A', 0, 0xAC, 0x20, 0x0D, 0, 0x0A, 0}));
    const Lines round = {L"[Foo]", L"", L"Date:1/2/2013 3:04:05 PM", L"\u00E9\u4E2D"};
    EXPECT_EQ(DecodeLogText(EncodeLogText(round)), round);
}
