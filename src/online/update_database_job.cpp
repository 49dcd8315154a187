#include "online/update_database_job.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <thread>

#include "archive/archive_error.h"
#include "archive/zip_decompression.h"
#include "online/score_db_helper.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/server_addresses.h"
#include "settings/text_file.h"

namespace tarvo::online {

namespace {

constexpr const wchar_t* kDatabase = L"ScoreBase.dbd";
constexpr const wchar_t* kDownloadTarget = L"ScoreBasetemp.dbd";

// Days from 1 January 1601 in the proleptic Gregorian calendar.
long long DaysFrom1601(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<long long>(era) * 146097 + doe - 584694;  // 1601-01-01 from 0000-03-01
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool ReadNumber(const std::wstring& text, std::size_t& at, int maxDigits, int& value) {
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && at - start < static_cast<std::size_t>(maxDigits) && text[at] >= L'0' && text[at] <= L'9')
        value = value * 10 + (text[at++] - L'0');
    return at > start;
}

bool Expect(const std::wstring& text, std::size_t& at, wchar_t c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

// The downloaded file is an archive we can read, holding a database that reads whole.
bool DatabaseOpens(const std::wstring& path) {
    try {
        archive::StringSink sink(kMaxScoreTextBytes);
        archive::TZipDeCompression::ExtractFile(path, kDatabase, sink, archive::kArchivePassPhrase);
        return ScoreTextComplete(sink.bytes());
    } catch (const archive::ArchiveError&) {
        return false;
    }
}

}  // namespace

long long SecondsOf(const SYSTEMTIME& t) {
    return DaysFrom1601(t.wYear, t.wMonth, t.wDay) * 86400LL + t.wHour * 3600LL + t.wMinute * 60LL + t.wSecond;
}

std::wstring FormatUpdateDate(const SYSTEMTIME& t) {
    wchar_t text[32];
    std::swprintf(text, std::size(text), L"%02u/%02u/%04u %02u:%02u:%02u", t.wMonth, t.wDay, t.wYear, t.wHour,
                  t.wMinute, t.wSecond);
    return text;
}

std::optional<long long> ParseUpdateDate(const std::wstring& raw) {
    const std::wstring text = raw.substr(raw.find_first_not_of(L' ') == std::wstring::npos ? raw.size()
                                                                                           : raw.find_first_not_of(L' '));
    std::size_t at = 0;
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (!ReadNumber(text, at, 2, month) || !Expect(text, at, L'/') || !ReadNumber(text, at, 2, day) ||
        !Expect(text, at, L'/') || !ReadNumber(text, at, 4, year))
        return std::nullopt;
    if (at < text.size()) {
        if (!Expect(text, at, L' ')) return std::nullopt;
        while (at < text.size() && text[at] == L' ') ++at;
        if (!ReadNumber(text, at, 2, hour) || !Expect(text, at, L':') || !ReadNumber(text, at, 2, minute))
            return std::nullopt;
        if (at < text.size() && (!Expect(text, at, L':') || !ReadNumber(text, at, 2, second))) return std::nullopt;
        while (at < text.size() && text[at] == L' ') ++at;
        if (at != text.size()) return std::nullopt;
    }
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || month < 1 || month > 12 || day < 1 ||
        day > kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0) || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return DaysFrom1601(year, month, day) * 86400LL + hour * 3600LL + minute * 60LL + second;
}

std::optional<bool> UpdateDue(const std::wstring& stored, const SYSTEMTIME& now) {
    if (settings::Trim(stored).empty()) return true;
    const auto then = ParseUpdateDate(stored);
    if (!then) return std::nullopt;
    const long long seconds = SecondsOf(now) - *then;
    return (seconds < 0 ? -seconds : seconds) / 86400 > 6;
}

UpdateOutcome TDownLoadUpdateDataBase::Execute() {
    const auto due = UpdateDue(config_.ini.UpdateDataBaseDate(), config_.now);
    if (!due) return UpdateOutcome::BadDate;
    if (!*due) return UpdateOutcome::NotDue;
    (void)config_.ini.SetUpdateDataBaseDate(FormatUpdateDate(config_.now));
    if (config_.folder.empty()) return UpdateOutcome::NoFolder;

    const std::wstring target = config_.folder + kDownloadTarget;
    const std::wstring database = config_.folder + kDatabase;
    if (platform::FileExists(target)) (void)platform::DeleteFileOf(target);
    (void)platform::DeleteUrlCacheEntryOf(config_.url);
    UpdateOutcome outcome = UpdateOutcome::DownloadFailed;
    platform::HttpOptions http = config_.http;
    http.maxBytes = std::min(http.maxBytes, kMaxScoreDownloadBytes);
    if (platform::DownloadToFile(config_.url, target, http)) {
        if (DatabaseOpens(target) && platform::MoveFileReplacing(target, database)) {
            outcome = UpdateOutcome::Replaced;
        } else {
            (void)platform::DeleteFileOf(target);
            outcome = UpdateOutcome::Rejected;
        }
    }
    if (onDone_) {
        try {
            onDone_();
        } catch (...) {
        }
    }
    return outcome;
}

void TDownLoadUpdateDataBase::Start(DoneHandler onDone) {
    settings::TMainIni ini;
    UpdateDatabaseConfig config{ini, InstallFolder(),
                                settings::ReadServerAddresses(ini).download + L"/uninstaller3/ScoreBase.dbd", {},
                                platform::LocalTimeNow()};
    std::thread([job = TDownLoadUpdateDataBase(std::move(config), std::move(onDone))]() mutable {
        try {
            (void)job.Execute();
        } catch (...) {
            // A background job fails quietly.
        }
    }).detach();
}

}  // namespace tarvo::online
