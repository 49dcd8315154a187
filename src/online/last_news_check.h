#pragma once
// TLastNewsCheck: the news line in the main window's footer. At each start it decides
// whether the stored news is fresh (fetched within the last 24 hours); if not, it asks the
// download server for the current version and the matching news file, stores the news in
// LatestNews.ini and shows it. Every failure is quiet: the footer falls back to its
// invitation text and start-up never waits for the server.

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "online/news_store.h"
#include "platform/internet.h"

namespace tarvo::online {

// What the footer shows: the invitation text, or a news item's title and detail line.
struct NewsView {
    bool offline = true;
    NewsItem item;
};

// Implemented by the window, which must carry the view over to its own thread; tests record.
class INewsDisplay {
public:
    virtual ~INewsDisplay() = default;
    virtual void Show(const NewsView& view) = 0;
};

struct NewsCheckConfig {
    std::wstring baseFolder;          // holds LatestNews\ (the program folder)
    std::wstring productCode = L"tu3";
    bool storedOnly = false;          // show what is stored, never fetch
    bool skipVersionCheck = false;
    std::wstring server;              // download server, without a trailing "/"
    std::wstring ownVersion;          // our "FileVersion"
    platform::HttpOptions http;
    SYSTEMTIME now{};                 // local time of the check
};

inline constexpr const wchar_t* kVersionListPath = L"/news/version-check.ini";
inline constexpr const wchar_t* kUpdateNewsPath = L"/news/unins/v3/tu-update-free.dat";
inline constexpr const wchar_t* kNewsPath = L"/news/unins/v3/unins3newsfree.dat";

// Due when nothing is stored, the stored time cannot be read, or it lies 24 whole hours or
// more from `now` either way (a clock set back must not silence the news for good).
[[nodiscard]] bool NewsFetchDue(const std::wstring& lastUpdate, const SYSTEMTIME& now);

// "name=value" lines of a news file (UTF-8, byte-order mark allowed); the first of a name wins.
[[nodiscard]] std::map<std::wstring, std::wstring> ParseNewsFile(const std::string& bytes);

// The news comes over plain HTTP: an answer is taken only when all of it reads as a news
// file (valid UTF-8 without control characters, every line that is not blank a
// "name=value" line with a name). An error page, a captive portal's login form or a cut
// answer is refused, and the news we have stays. An empty answer is a complete one.
[[nodiscard]] bool NewsFileComplete(std::string_view bytes);

// A news answer longer than this is refused unread: real ones are a few hundred bytes.
inline constexpr std::size_t kMaxNewsBytes = 64u << 10;

// Only web addresses are opened from a news link: the text comes from a server, and the
// shell would as readily start a program named there.
[[nodiscard]] bool IsOpenableNewsLink(const std::wstring& link);

// Rejected: the server answered with something that is not news; what is stored stays,
// shown as it is, and the next start asks again.
enum class NewsOutcome { StoredOnly, Rotated, Fetched, FetchFailed, Rejected };

class TLastNewsCheck {
public:
    TLastNewsCheck(NewsCheckConfig config, std::shared_ptr<INewsDisplay> display)
        : config_(std::move(config)), display_(std::move(display)), store_(config_.baseFolder) {}

    // The whole check on the calling thread.
    NewsOutcome Execute();

    // The start-up call: the check on a thread of its own that ends by itself.
    static void Start(NewsCheckConfig config, std::shared_ptr<INewsDisplay> display);

private:
    NewsOutcome Fetch();
    void ShowStored();
    void ShowItem(const NewsItem& item);
    void ShowOffline();
    [[nodiscard]] std::optional<std::string> Post(const wchar_t* path) const;

    NewsCheckConfig config_;
    std::shared_ptr<INewsDisplay> display_;
    TNewsStore store_;
};

// The click on the news: one switch to the other item five seconds later, however often
// the news is clicked meanwhile. Runs on the window's thread.
class TNewsSwitch {
public:
    static constexpr unsigned kDelayMs = 5000;
    explicit TNewsSwitch(const std::wstring& baseFolder) : store_(baseFolder) {}

    // True when this click schedules the switch; false while one is pending.
    bool Click() noexcept;
    // The switch is due: the next item, or an offline view when it has no title.
    NewsView Fire();

private:
    TNewsStore store_;
    bool pending_ = false;
};

}  // namespace tarvo::online
