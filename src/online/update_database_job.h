#pragma once
// TDownLoadUpdateDataBase: at most once a week, fetch a new ScoreBase.dbd from the download
// server. The date is written before anything is fetched, so a failing server is not asked
// again for seven days. A download replaces the working database only once it opens and
// its entry extracts: a truncated or damaged file never costs the scores we have.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include <windows.h>

#include "platform/internet.h"
#include "settings/main_ini.h"

namespace tarvo::online {

// Seconds since 1 January 1601, to the second.
[[nodiscard]] long long SecondsOf(const SYSTEMTIME& time);
// "mm/dd/yyyy hh:mm:ss".
[[nodiscard]] std::wstring FormatUpdateDate(const SYSTEMTIME& time);
// Seconds since 1 January 1601 for a text in that form (time optional); nullopt when it
// cannot be read.
[[nodiscard]] std::optional<long long> ParseUpdateDate(const std::wstring& text);
// Due when the text is empty or lies more than six whole days from `now` (either way);
// nullopt for a text that cannot be read, which ends the job.
[[nodiscard]] std::optional<bool> UpdateDue(const std::wstring& stored, const SYSTEMTIME& now);

// A download, and the database text it unpacks to, larger than these is refused: today's
// database is a few hundred kilobytes, and a server that streams without end must not fill
// the disk of the program folder.
inline constexpr std::size_t kMaxScoreDownloadBytes = 8u << 20;
inline constexpr std::size_t kMaxScoreTextBytes = 32u << 20;

struct UpdateDatabaseConfig {
    settings::TMainIni ini;
    std::wstring folder;  // with a trailing "\"; empty ends the job
    std::wstring url;     // download server + "/uninstaller3/ScoreBase.dbd"
    platform::HttpOptions http;
    SYSTEMTIME now{};     // local time of the check
};

enum class UpdateOutcome { NotDue, BadDate, NoFolder, DownloadFailed, Rejected, Replaced };

class TDownLoadUpdateDataBase {
public:
    using DoneHandler = std::function<void()>;

    TDownLoadUpdateDataBase(UpdateDatabaseConfig config, DoneHandler onDone)
        : config_(std::move(config)), onDone_(std::move(onDone)) {}

    // The whole job on the calling thread; `onDone` runs after the replace step (its
    // errors are swallowed).
    UpdateOutcome Execute();

    // The start-up call: the job on a thread of its own that ends by itself, with the
    // settings file, installation folder and download server of this installation.
    // `onDone` runs on that thread: a window must post to itself from there.
    static void Start(DoneHandler onDone);

private:
    UpdateDatabaseConfig config_;
    DoneHandler onDone_;
};

}  // namespace tarvo::online
