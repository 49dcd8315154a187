// Editing one element of a PATH-like value leaves every other element exactly as it was.
#include "common/path_list.h"

#include <gtest/gtest.h>

using namespace tarvo::common;

TEST(PathList, RemovesOnlyTheElementsInsideTheFolder) {
    const auto insideApp = [](std::wstring_view element) { return PathElementWithin(element, L"C:\\Apps\\Tool\\"); };
    const struct {
        const wchar_t* value;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Windows;C:\\Apps\\Tool;D:\\x", L"C:\\Windows;D:\\x"},
        {L"C:\\Apps\\Tool\\bin;C:\\Windows", L"C:\\Windows"},
        {L"C:\\Windows;\"c:\\apps\\tool\\\"", L"C:\\Windows"},
        {L"C:\\Windows;C:\\Apps\\Tool;", L"C:\\Windows;"},                // the trailing separator stays
        {L"C:\\Windows;;C:\\Apps\\Tool", L"C:\\Windows;"},                // so does an empty element
        {L"C:\\Apps\\Toolkit;C:\\Apps\\Tool2", L"C:\\Apps\\Toolkit;C:\\Apps\\Tool2"},  // look-alikes
        {L"%SystemRoot%;C:\\Apps", L"%SystemRoot%;C:\\Apps"},              // the folder above
        {L"C:\\Apps\\Tool", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(RemovePathElements(c.value, insideApp), c.expected) << c.value;
}

TEST(PathList, SplitKeepsEveryElementAsWritten) {
    EXPECT_EQ(SplitPathList(L" a ;;b;"), (std::vector<std::wstring>{L" a ", L"", L"b", L""}));
}
