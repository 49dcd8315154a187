#include "addons/json_format.h"

#include <gtest/gtest.h>

#include "addons_fixture_path.h"
#include "platform/files.h"

namespace tarvo::addons {
namespace {

TEST(FormatJson, WritesTheGoldenLayoutByteForByte) {
    const auto input = platform::ReadFileBytes(test::AddonFixture(L"layout.in.json"));
    const auto golden = platform::ReadFileBytes(test::AddonFixture(L"layout.out.json"));
    ASSERT_TRUE(input && golden);
    const auto parsed = ParseJsonKeepingNumbers(*input);
    ASSERT_TRUE(parsed);
    int depth = 0;
    EXPECT_EQ(FormatJson(*parsed, depth), *golden);
    EXPECT_EQ(depth, 0);
}

TEST(FormatJson, ScalarsAndEmptyDocuments) {
    const struct {
        const char* input;
        const char* expected;
    } cases[] = {
        {"{}", "{}"},
        {"[]", "[]"},
        {"[{}]", "[ {} ]"},
        {"\"\\u00FC\"", "\"\\u00fc\""},
        {"3.14159265358979323846", "3.14159265358979323846"},
        {"[[1,2],[]]", "[ [ 1, 2 ], [] ]"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseJsonKeepingNumbers(c.input);
        ASSERT_TRUE(parsed) << c.input;
        int depth = 0;
        EXPECT_EQ(FormatJson(*parsed, depth), c.expected) << c.input;
    }
}

TEST(ParseJsonKeepingNumbers, RefusesBrokenTextAndReadsKeptNumbers) {
    EXPECT_FALSE(ParseJsonKeepingNumbers("{\"a\":"));
    EXPECT_FALSE(ParseJsonKeepingNumbers(""));
    const auto parsed = ParseJsonKeepingNumbers("{\"z\":1.50,\"a\":2}");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->begin().key(), "z");  // member order as read
    EXPECT_EQ(JsonNumber((*parsed)["z"]), 1.5);
    EXPECT_EQ(JsonNumber((*parsed)["a"]), 2.0);
}

}  // namespace
}  // namespace tarvo::addons
