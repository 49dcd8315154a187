// The exported program list, byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "inventory/catalogue_export.h"
#include "common/date_time.h"
#include "platform/files.h"
#include "support/scratch_folder.h"

using namespace tarvo::common;
using namespace tarvo::inventory;

namespace {

std::string Utf16(const std::wstring& text) {
    std::string bytes;
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

ExportHeader FixedHeader() {
    ExportHeader header;
    header.applicationVersion = L"3.1.0.7";
    header.windowsName = L"Windows 7";
    header.exportedAt = *DateFromParts(2014, 3, 5) + (13 * 3600 + 4 * 60 + 9) / 86400.0;
    return header;
}

TSoftList TwoProgramsAndAHiddenOne() {
    TSoftList list;
    auto add = [&list](const std::wstring& name) -> TSoftInfo& {
        list.push_back(std::make_unique<TSoftInfo>());
        list.back()->DisplayName = name;
        return *list.back();
    };
    TSoftInfo& editor = add(L"Text Editor \u00e9");
    editor.DisplayVersion = L"2.1";
    editor.Publisher = L"Editors Ltd";
    editor.InstallDateText = L"3/1/2014";
    editor.SizeText = L"2.00 MB";
    editor.HelpLink = L"http://example.com/help";
    editor.RootKeyName = L"HKEY_LOCAL_MACHINE";
    editor.KeyPath = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Editor";
    editor.UninstallString = L"\"C:\\Editor\\unins000.exe\"";
    add(L"Gone").Hidden = true;
    TSoftInfo& update = add(L"Security Update KB1");
    update.IsUpdate = true;
    update.RootKeyName = L"HKEY_LOCAL_MACHINE";
    update.KeyPath = L"\\SOFTWARE\\KB1";
    return list;
}

const wchar_t kExpected[] =
    L"====================================\r\n"
    L"Software List\r\n"
    L"Application Version:3.1.0.7\r\n"
    L"Windows 7\r\n"
    L"Exported Time:03-05-2014 13:04:09\r\n"
    L"====================================\r\n"
    L"\r\n"
    L"Software Name: Text Editor \u00e9\r\n"
    L"Version: 2.1\r\n"
    L"Publisher: Editors Ltd\r\n"
    L"Install Time: 3/1/2014\r\n"
    L"Size: 2.00 MB\r\n"
    L"Help info: http://example.com/help\r\n"
    L"Registry Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Editor\r\n"
    L"Uninstall Command: \"C:\\Editor\\unins000.exe\"\r\n"
    L"----------------------------------------------\r\n"
    L"\r\n"
    L"Software Name: Security Update KB1\r\n"
    L"Version: \r\n"
    L"Publisher: \r\n"
    L"Install Time: \r\n"
    L"Size: \r\n"
    L"Help info: \r\n"
    L"Registry Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\KB1\r\n"
    L"Uninstall Command: \r\n"
    L"----------------------------------------------\r\n"
    L"\r\n";

}  // namespace

TEST(Export, FileIsTheHeaderAndOneBlockPerVisibleEntryInUtf16WithMark) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring path = scratch.PathOf(L"list.txt");
    ASSERT_TRUE(WriteExportFile(path, TwoProgramsAndAHiddenOne(), FixedHeader()));
    const auto bytes = tarvo::platform::ReadFileBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, std::string("\xFF\xFE") + Utf16(kExpected));
}

TEST(Export, EmptyCatalogueIsTheHeaderAlone) {
    const std::wstring text = ExportText({}, FixedHeader());
    EXPECT_EQ(text, std::wstring(kExpected).substr(0, std::wstring(kExpected).find(L"Software Name:")));
}

TEST(Export, FileNamesWithoutTxtGetIt) {
    const struct {
        const wchar_t* chosen;
        const wchar_t* written;
    } cases[] = {
        {L"list.TXT", L"list.TXT"},
        {L"list", L"list.txt"},
        {L"C:\\out\\Software List.txt", L"C:\\out\\Software List.txt"},
        {L"notes.text", L"notes.text.txt"},
        {L"old.txt.bak", L"old.txt.bak"},  // ".txt" anywhere in the name is enough
    };
    for (const auto& c : cases) EXPECT_EQ(ExportFileName(c.chosen), c.written) << c.chosen;
}

TEST(Export, UnwritableFileIsReported) {
    tarvo::test::ScratchFolder scratch;
    EXPECT_FALSE(WriteExportFile(scratch.PathOf(L"missing\\folder\\list.txt"), {}, FixedHeader()));
}
