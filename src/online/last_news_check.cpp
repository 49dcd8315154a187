#include "online/last_news_check.h"

#include <thread>

#include "common/text.h"
#include "online/news_version.h"
#include "online/update_database_job.h"
#include "platform/text.h"
#include "settings/text_file.h"

namespace tarvo::online {

namespace {
constexpr const wchar_t* kFormContentType = L"application/x-www-form-urlencoded";
}  // namespace

bool NewsFetchDue(const std::wstring& lastUpdate, const SYSTEMTIME& now) {
    if (lastUpdate.empty()) return true;
    const auto then = ParseUpdateDate(lastUpdate);
    if (!then) return true;
    const long long seconds = SecondsOf(now) - *then;
    return (seconds < 0 ? -seconds : seconds) / 3600 >= 24;
}

std::map<std::wstring, std::wstring> ParseNewsFile(const std::string& bytes) {
    std::string_view text(bytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::map<std::wstring, std::wstring> values;
    for (const std::wstring& line : settings::SplitLines(platform::WideFromUtf8(text))) {
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        const std::wstring name = common::Trim(std::wstring_view(line).substr(0, equals));
        if (!name.empty()) values.emplace(name, common::Trim(std::wstring_view(line).substr(equals + 1)));
    }
    return values;
}

bool IsOpenableNewsLink(const std::wstring& link) {
    const std::wstring trimmed = common::Trim(link);
    for (const wchar_t* scheme : {L"http://", L"https://"}) {
        const std::size_t length = std::char_traits<wchar_t>::length(scheme);
        if (trimmed.size() > length && common::StartsWith(common::LowerCase(trimmed), scheme)) return true;
    }
    return false;
}

NewsOutcome TLastNewsCheck::Execute() {
    store_.Prepare();
    if (config_.storedOnly) {
        ShowItem(store_.Item(false));
        return NewsOutcome::StoredOnly;
    }
    if (!NewsFetchDue(store_.LastUpdate(), config_.now) &&
        ServerNewerOrEmpty(store_.ServerVersion(), config_.ownVersion)) {
        ShowItem(store_.Rotate());
        return NewsOutcome::Rotated;
    }
    // Fresh news that a newer version has made stale, or news that is due: what is stored
    // shows while the server is asked.
    ShowStored();
    if (Fetch()) return NewsOutcome::Fetched;
    ShowOffline();
    return NewsOutcome::FetchFailed;
}

std::optional<std::string> TLastNewsCheck::Post(const wchar_t* path) const {
    const auto response = platform::HttpPost(config_.server + path, {}, kFormContentType, config_.http);
    // An error page is no answer: its text would be read as news.
    if (!response || response->status != 200) return std::nullopt;
    return std::move(response->body);
}

bool TLastNewsCheck::Fetch() {
    std::wstring serverVersion;
    bool newer = false;
    if (!config_.skipVersionCheck) {
        const auto list = Post(kVersionListPath);
        if (!list) return false;
        const std::wstring text = common::Trim(platform::WideFromUtf8(*list));
        if (!text.empty()) {
            serverVersion = ServerVersionFromList(text, config_.productCode);
            newer = VersionGreater(serverVersion, config_.ownVersion);
        }
    }
    const auto news = Post(newer ? kUpdateNewsPath : kNewsPath);
    if (!news) return false;
    const auto values = ParseNewsFile(*news);
    if (!common::Trim(platform::WideFromUtf8(*news)).empty()) {
        const auto value = [&](const wchar_t* key) {
            const auto found = values.find(key);
            return found == values.end() ? std::wstring() : found->second;
        };
        const NewsItem a{value(L"title"), value(L"link"), value(L"remark"), {}};
        std::map<std::wstring, std::wstring> copied;
        for (const wchar_t* key : kCopiedNewsKeys) copied[key] = value(key);
        store_.StoreFetched(a, copied, newer ? serverVersion : std::wstring());
        // A news file without a title (or no news file at all, only noise) shows the
        // invitation rather than an empty line.
        if (a.title.empty()) ShowOffline();
        else display_->Show({false, a});
    }
    store_.SetLastUpdate(FormatUpdateDate(config_.now));
    return true;
}

void TLastNewsCheck::ShowStored() {
    NewsItem a = store_.Item(false);
    if (!a.title.empty()) display_->Show({false, std::move(a)});
}

void TLastNewsCheck::ShowItem(const NewsItem& item) {
    if (item.title.empty()) ShowOffline();
    else display_->Show({false, item});
}

void TLastNewsCheck::ShowOffline() {
    store_.ClearForOffline();
    display_->Show({});
}

void TLastNewsCheck::Start(NewsCheckConfig config, std::shared_ptr<INewsDisplay> display) {
    std::thread([job = TLastNewsCheck(std::move(config), std::move(display))]() mutable {
        try {
            (void)job.Execute();
        } catch (...) {
            // The news fails quietly.
        }
    }).detach();
}

bool TNewsSwitch::Click() noexcept {
    if (pending_) return false;
    pending_ = true;
    return true;
}

NewsView TNewsSwitch::Fire() {
    pending_ = false;
    NewsItem item = store_.Rotate();
    if (item.title.empty()) return {};
    return {false, std::move(item)};
}

}  // namespace tarvo::online
