#include "inventory/software_cache.h"

#include <gtest/gtest.h>

#include "common/date_time.h"
#include "common/short_date.h"
#include "support/scratch_folder.h"

namespace tarvo::inventory {

using common::DateFromParts;
using common::ParseShortDate;
using common::ShortDateText;
using common::SizeText;
namespace {

using settings::TExtIniFile;

TEST(CacheFingerprint, IsTheMd5OfDateTextAndCommand) {
    // RFC 1321's test vectors, split across the two parts.
    EXPECT_EQ(CacheFingerprint(L"", L""), L"d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(CacheFingerprint(L"a", L"bc"), L"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(CacheFingerprint(L"message ", L"digest"), L"f96b697d7cb7938d525a2f31aaf161d0");
}

std::unique_ptr<TSoftInfo> Entry(const std::wstring& name, const std::wstring& command) {
    auto entry = std::make_unique<TSoftInfo>();
    entry->DisplayName = name;
    entry->UninstallString = command;
    return entry;
}

void WriteSection(TExtIniFile& cache, const std::wstring& name, const std::wstring& command,
                  const std::wstring& dateText) {
    cache.WriteInt64(name, L"size", 123456);
    cache.WriteString(name, L"Location", L"C:\\App\\");
    cache.WriteString(name, L"DisplayIcon", L"C:\\App\\app.exe");
    cache.WriteInteger(name, L"IconIndex", 2);
    cache.WriteString(name, L"AppUseRange", L"aud2Month");
    cache.WriteString(name, L"AppUseRate", L"aurLess");
    cache.WriteString(name, L"InstallDate", dateText);
    cache.WriteFloat(name, L"LastAccessDate", 41000.5);
    cache.WriteString(name, L"MD5", CacheFingerprint(dateText, command));
}

TEST(SoftwareCache, SectionValidOnlyForTheSameCommandAndDate) {
    const platform::Md5Hasher hasher;
    ASSERT_TRUE(hasher.ok());
    TExtIniFile cache;
    const std::wstring date = ShortDateText(*DateFromParts(2013, 5, 12));
    WriteSection(cache, L"App", L"C:\\App\\unins000.exe", date);
    const auto entry = Entry(L"App", L"C:\\App\\unins000.exe");
    EXPECT_TRUE(IsCacheSectionValid(cache, *entry, hasher));
    // The digest is compared without regard to case.
    cache.WriteString(L"App", L"MD5", L"900150983CD24FB0D6963F7D28E17F72");
    EXPECT_FALSE(IsCacheSectionValid(cache, *Entry(L"App", L"C:\\App\\unins000.exe"), hasher));
    cache.WriteString(L"App", L"MD5", L"900150983CD24FB0D6963F7D28E17F72");
    cache.WriteString(L"App", L"InstallDate", L"a");
    EXPECT_TRUE(IsCacheSectionValid(cache, *Entry(L"App", L"bc"), hasher));

    WriteSection(cache, L"App", L"C:\\App\\unins000.exe", date);
    EXPECT_FALSE(IsCacheSectionValid(cache, *Entry(L"App", L"C:\\App\\unins001.exe"), hasher));
    EXPECT_FALSE(IsCacheSectionValid(cache, *Entry(L"Other", L"C:\\App\\unins000.exe"), hasher));
    cache.DeleteKey(L"App", L"MD5");
    EXPECT_FALSE(IsCacheSectionValid(cache, *entry, hasher));
}

TEST(SoftwareCache, LoadFillsOnlyTheGapsOfVisibleEntriesWithValidSections) {
    TExtIniFile cache;
    const TDateTime installed = *DateFromParts(2013, 5, 12);
    const std::wstring date = ShortDateText(installed);
    WriteSection(cache, L"Fresh", L"fresh.exe", date);
    WriteSection(cache, L"Known", L"known.exe", date);
    WriteSection(cache, L"Hidden", L"hidden.exe", date);
    WriteSection(cache, L"Changed", L"old.exe", date);
    WriteSection(cache, L"Strange", L"strange.exe", date);
    cache.WriteString(L"Strange", L"AppUseRange", L"audYesterday");

    TSoftList entries;
    entries.push_back(Entry(L"Fresh", L"fresh.exe"));
    entries.push_back(Entry(L"Known", L"known.exe"));
    entries[1]->Size = 999;
    entries[1]->InstallLocation = L"D:\\Own\\";
    entries[1]->DisplayIcon = L"D:\\Own\\own.exe";
    entries.push_back(Entry(L"Hidden", L"hidden.exe"));
    entries[2]->Hidden = true;
    entries.push_back(Entry(L"Changed", L"new.exe"));
    entries.push_back(Entry(L"Strange", L"strange.exe"));
    LoadCache(entries, cache);

    const TSoftInfo& fresh = *entries[0];
    EXPECT_EQ(fresh.Size, 123456);
    EXPECT_EQ(fresh.SizeText, SizeText(123456));
    EXPECT_EQ(fresh.InstallLocation, L"C:\\App\\");
    EXPECT_EQ(fresh.DisplayIcon, L"C:\\App\\app.exe");
    EXPECT_EQ(fresh.IconIndex, 2);
    EXPECT_EQ(fresh.InstallDateText, date);
    EXPECT_EQ(fresh.InstallDate, installed);
    EXPECT_EQ(fresh.UseRange, aud2Month);
    EXPECT_EQ(fresh.UseRate, aurLess);
    EXPECT_EQ(fresh.UseText, L"less");
    EXPECT_DOUBLE_EQ(fresh.LastAccessDate, 41000.5);

    const TSoftInfo& known = *entries[1];
    EXPECT_EQ(known.Size, 999);
    EXPECT_EQ(known.InstallLocation, L"D:\\Own\\");
    EXPECT_EQ(known.DisplayIcon, L"D:\\Own\\own.exe");
    EXPECT_EQ(known.IconIndex, 0);

    EXPECT_EQ(entries[2]->Size, 0);   // hidden: untouched
    EXPECT_EQ(entries[3]->Size, 0);   // fingerprint no longer matches: measured again
    EXPECT_TRUE(entries[3]->InstallLocation.empty());
    EXPECT_EQ(entries[4]->UseRange, audUnknown);
    EXPECT_EQ(entries[4]->UseText, L"<unknown>");
}

TEST(SoftwareCache, MissingFileChangesNothing) {
    test::ScratchFolder scratch;
    TSoftList entries;
    entries.push_back(Entry(L"App", L"app.exe"));
    LoadCache(entries, scratch.PathOf(L"SoftwareCache.ini"));
    LoadCache(entries, std::wstring());
    EXPECT_EQ(entries[0]->Size, 0);
    EXPECT_TRUE(entries[0]->UseText.empty());
}

TEST(ShortDate, ReadsWhatTheShortFormatWrites) {
    const TDateTime date = *DateFromParts(2013, 5, 12);
    EXPECT_EQ(ParseShortDate(ShortDateText(date)), date);
    struct Case {
        const wchar_t* text;
        const wchar_t* format;
        std::optional<TDateTime> expected;
    };
    const Case cases[] = {
        {L"12.05.2013", L"dd.MM.yyyy", date},
        {L"2013-05-12", L"yyyy-MM-dd", date},
        {L"5/12/2013", L"M/d/yyyy", date},
        {L"5/12/13", L"M/d/yy", date},
        {L"12 '5' 2013", L"d 'de' M yyyy", date},
        {L"31/2/2013", L"d/M/yyyy", std::nullopt},
        {L"5/12", L"M/d/yyyy", std::nullopt},
        {L"5/12/2013/1", L"M/d/yyyy", std::nullopt},
        {L"", L"M/d/yyyy", std::nullopt},
        {L"Sunday 5/12/2013", L"dddd M/d/yyyy", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseShortDate(c.text, c.format), c.expected) << c.text;
}

}  // namespace
}  // namespace tarvo::inventory
