#include "uninstall/operation_log.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/scratch_folder.h"

using namespace tarvo::uninstall;
using tarvo::test::ScratchFolder;

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

const SYSTEMTIME kMorning = At(2013, 5, 12, 14, 3, 9);

LogContext Context(const std::wstring& folder, SYSTEMTIME now = kMorning) {
    return LogContext{folder, L"3.0.0.1", L"Windows 7 Ultimate", [now] { return now; }};
}

std::string Golden(const wchar_t* name) {
    const auto bytes = tarvo::platform::ReadFileBytes(std::wstring(TARVO_GOLDEN_DIR) + L"/" + name);
    EXPECT_TRUE(bytes) << "golden file missing";
    return bytes.value_or("");
}

std::string Read(const std::wstring& path) { return tarvo::platform::ReadFileBytes(path).value_or("<none>"); }

const std::vector<std::wstring> kFoo = {L"[Foo]", L"Date:5/12/2013 2:03:09 PM", L""};
const std::vector<std::wstring> kBar = {L"[Bar]", L"Date:5/12/2013 4:10:00 PM", L""};
const std::vector<std::wstring> kRemoval = {L"[Foo ]",
                                            L"Operation: Powerful Scan",
                                            L"Date: 5/12/2013 2:03:09 PM",
                                            L"",
                                            L"------Registry------",
                                            L"Deleted Registry Key HKEY_CURRENT_USER\\Software\\Foo"};

}  // namespace

TEST(DayLogNames, UseFixedSeparatorsAndTheDataFolder) {
    EXPECT_EQ(DayLogFileName(At(2013, 5, 2, 9, 8, 7)), L"2013-05-02.log");
    EXPECT_EQ(DayLogFileName(At(1999, 12, 31, 23, 59, 59)), L"1999-12-31.log");
    EXPECT_EQ(LogTimestamp(At(2013, 5, 2, 9, 8, 7)), L"2013-05-02 09:08:07");
    EXPECT_EQ(LogFolderOf(L"C:\\Users\\A\\AppData\\Roaming\\Tarvo\\Tarvo Uninstaller"),
              L"C:\\Users\\A\\AppData\\Roaming\\Tarvo\\Tarvo Uninstaller\\Log");
    EXPECT_EQ(LogFolderOf(L"D:\\data\\"), L"D:\\data\\Log");
    // The test exe carries no version resource: the header says so rather than nothing.
    const LogContext context = MakeLogContext(L"D:\\data");
    EXPECT_EQ(context.folder, L"D:\\data\\Log");
    EXPECT_EQ(context.appVersion, L"Unknown");
}

TEST(DayLogWriters, FirstOperationWritesTheHeaderAndLaterOnesOnlyTheirLines) {
    ScratchFolder scratch;
    // The folder and its missing parents appear on the first write.
    const std::wstring folder = scratch.PathOf(L"Tarvo\\Tarvo Uninstaller\\Log");
    const std::wstring day = folder + L"\\2013-05-12.log";

    EXPECT_EQ(WriteUninstallLog(Context(folder), kFoo), LogWriteResult::Written);
    EXPECT_EQ(Read(day), Golden(L"uninstall_first.log"));

    // Later that day, even a removal adds its lines under the uninstall header.
    EXPECT_EQ(WriteUninstallLog(Context(folder, At(2013, 5, 12, 16, 10, 0)), kBar), LogWriteResult::Written);
    EXPECT_EQ(Read(day), Golden(L"uninstall_second.log"));

    // The next day starts a file of its own; nothing is left behind but the day files.
    EXPECT_EQ(WriteRemovalLog(Context(folder, At(2013, 5, 13, 0, 0, 1)), kRemoval), LogWriteResult::Written);
    EXPECT_TRUE(tarvo::platform::FileExists(folder + L"\\2013-05-13.log"));
    EXPECT_EQ(Read(day), Golden(L"uninstall_second.log"));
    EXPECT_FALSE(tarvo::platform::FileExists(folder + L"\\~2013-05-12.tmp"));
}

TEST(DayLogWriters, RemovalHeaderDiffersInTitleAndBlanks) {
    ScratchFolder scratch;
    const std::wstring day = scratch.PathOf(L"2013-05-12.log");
    EXPECT_EQ(WriteRemovalLog(Context(scratch.path()), kRemoval), LogWriteResult::Written);
    EXPECT_EQ(Read(day), Golden(L"removal_first.log"));
    EXPECT_EQ(WriteUninstallLog(Context(scratch.path()), kBar), LogWriteResult::Written);
    EXPECT_EQ(Read(day), Golden(L"removal_then_uninstall.log"));

    const auto uninstall = UninstallLogHeader(L"1", L"W", kMorning);
    const auto removal = RemovalLogHeader(L"1", L"W", kMorning);
    ASSERT_EQ(uninstall.size(), 7u);
    ASSERT_EQ(removal.size(), 7u);
    for (std::size_t line : {0u, 4u, 5u, 6u}) EXPECT_EQ(uninstall[line], removal[line]) << line;
}

TEST(DayLogWriters, RewriteAnAnsiFileWithoutMarkAsUtf16) {
    ScratchFolder scratch;
    const auto day = scratch.MakeFile(L"2013-05-12.log", "Old line\r\nCaf\xE9\r\n");
    EXPECT_EQ(WriteUninstallLog(Context(scratch.path()), {L"[New]"}), LogWriteResult::Written);
    const std::wstring cafe = ::GetACP() == 1252 ? L"Caf\u00E9" : L"";
    const std::string bytes = Read(day);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    if (!cafe.empty())
        EXPECT_EQ(text, L"Old line\r\n" + cafe + L"\r\n[New]\r\n");
    else
        EXPECT_EQ(text.substr(0, 10), L"Old line\r\n");
}

TEST(DayLogWriters, NeverLoseTheDaysEarlierLines) {
    ScratchFolder scratch;
    const std::wstring day = scratch.PathOf(L"2013-05-12.log");
    ASSERT_EQ(WriteUninstallLog(Context(scratch.path()), kFoo), LogWriteResult::Written);
    const std::string before = Read(day);

    {
        // Another program holds the file without letting anyone read it: the writer leaves it
        // alone instead of starting a new list over it.
        auto locked = tarvo::platform::CreateFileOf(day, GENERIC_READ, 0, OPEN_EXISTING);
        ASSERT_TRUE(locked);
        EXPECT_EQ(WriteUninstallLog(Context(scratch.path()), kBar), LogWriteResult::DayFileUnreadable);
    }
    EXPECT_EQ(Read(day), before);

    // A read-only day file cannot be replaced: the save fails, the old file stays whole and
    // the half-way file is cleaned up.
    ASSERT_TRUE(::SetFileAttributesW(day.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteUninstallLog(Context(scratch.path()), kBar), LogWriteResult::SaveFailed);
    ::SetFileAttributesW(day.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Read(day), before);
    EXPECT_FALSE(tarvo::platform::FileExists(scratch.PathOf(L"~2013-05-12.tmp")));

    // A day "file" that is really a folder is not ours to touch either.
    const auto clash = scratch.MakeFolder(L"clash\\2013-05-12.log");
    EXPECT_NE(WriteUninstallLog(Context(scratch.PathOf(L"clash")), kBar), LogWriteResult::Written);
    EXPECT_TRUE(tarvo::platform::FolderExists(clash));
}

TEST(DayLogWriters, ReportAFolderThatCannotBeCreated) {
    ScratchFolder scratch;
    const auto blocker = scratch.MakeFile(L"blocker", "x");
    EXPECT_EQ(WriteUninstallLog(Context(blocker + L"\\Log"), kFoo), LogWriteResult::SaveFailed);
    EXPECT_EQ(WriteUninstallLog(Context(L""), kFoo), LogWriteResult::SaveFailed);
}
