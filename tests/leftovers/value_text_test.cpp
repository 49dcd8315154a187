// Registry value texts as the result tree shows them: byte-level cases of every type, and
// one round trip through the real registry.
#include <gtest/gtest.h>

#include <vector>

#include "leftovers/value_text.h"
#include "support/scratch_registry.h"

using tarvo::leftovers::ReadValueText;
using tarvo::leftovers::RegistryItemText;
using tarvo::leftovers::ValueText;

namespace {

std::vector<BYTE> Wide(const wchar_t* text, std::size_t chars) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text);
    return std::vector<BYTE>(bytes, bytes + chars * sizeof(wchar_t));
}

}  // namespace

TEST(ValueText, EveryTypeGivesItsTextForm) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        std::wstring expected;
    };
    const Case cases[] = {
        {"string with terminator", REG_SZ, Wide(L"C:\\Foo\0", 7), L"C:\\Foo"},
        {"string without terminator", REG_SZ, Wide(L"C:\\Foo", 6), L"C:\\Foo"},
        {"string with odd byte count", REG_SZ, {'A', 0, 'B'}, L"A"},
        {"expandable string stays unexpanded", REG_EXPAND_SZ, Wide(L"%SystemRoot%\\x\0", 15), L"%SystemRoot%\\x"},
        {"dword is signed", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, L"-1"},
        {"dword", REG_DWORD, {0x2A, 0, 0, 0}, L"42"},
        {"binary that is blank as text", REG_BINARY, {0x00, 0x0A, 0xFF, 0x01}, L"0aff1"},
        {"binary of blanks only", REG_BINARY, {0x20, 0x09}, L"209"},
        {"binary that reads as text", REG_BINARY, {'a', 'b', 'c', 0, 'x'}, L"abc"},
        {"binary without any zero", REG_BINARY, {'a', 'b'}, L"ab"},
        {"empty binary", REG_BINARY, {}, L""},
        {"multi-string reads its first byte run", REG_MULTI_SZ, Wide(L"ab\0cd\0\0", 7), L"a"},
        {"qword of small number", REG_QWORD, {0x05, 0, 0, 0, 0, 0, 0, 0}, L"50000000"},
        {"short dword is read as bytes", REG_DWORD, {0x00, 0x10}, L"010"},
        {"none type", REG_NONE, {0x00}, L"0"},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueText(c.type, c.data.data(), c.data.size()), c.expected) << c.what;
}

TEST(ValueText, ReadsTheRealRegistryAndGivesEmptyForAMissingValue) {
    tarvo::test::ScratchKey scratch(HKEY_CURRENT_USER, L"Software", tarvo::platform::RegistryView::Default);
    const BYTE bytes[] = {0x00, 0x0A, 0xFF, 0x01};
    scratch.SetRaw({}, L"Blob", REG_BINARY, bytes, sizeof bytes);
    scratch.SetDword({}, L"Number", 0xFFFFFFFE);
    const auto key = scratch.Key();
    EXPECT_EQ(ReadValueText(key, L"Blob"), L"0aff1");
    EXPECT_EQ(ReadValueText(key, L"Number"), L"-2");
    EXPECT_EQ(ReadValueText(key, L"Missing"), L"");
}

TEST(ValueText, RegistryItemText) {
    EXPECT_EQ(RegistryItemText(HKEY_CURRENT_USER, L"Software\\X"), L"HKEY_CURRENT_USER\\Software\\X");
    EXPECT_EQ(RegistryItemText(HKEY_LOCAL_MACHINE, L"\\Software\\X", L"Path", L"C:\\x"),
              L"HKEY_LOCAL_MACHINE\\Software\\X | Path - C:\\x");
    EXPECT_EQ(RegistryItemText(HKEY_CLASSES_ROOT, L".x", L"", L"file"), L"HKEY_CLASSES_ROOT\\.x | Default - file");
}
