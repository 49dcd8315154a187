#include "online/last_news_check.h"

#include <algorithm>
#include <thread>

#include "addons/browser_file.h"
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

bool NewsFileComplete(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (!addons::IsUtf8(text)) return false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        for (const char c : line)
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == first) return false;
    }
    return true;
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
    const NewsOutcome fetched = Fetch();
    if (fetched == NewsOutcome::FetchFailed) ShowOffline();
    return fetched;
}

std::optional<std::string> TLastNewsCheck::Post(const wchar_t* path) const {
    platform::HttpOptions http = config_.http;
    http.maxBytes = std::min(http.maxBytes, kMaxNewsBytes);
    const auto response = platform::HttpPost(config_.server + path, {}, kFormContentType, http);
    // An error page is no answer: its text would be read as news.
    if (!response || response->status != 200) return std::nullopt;
    return std::move(response->body);
}

NewsOutcome TLastNewsCheck::Fetch() {
    std::wstring serverVersion;
    bool newer = false;
    if (!config_.skipVersionCheck) {
        const auto list = Post(kVersionListPath);
        if (!list) return NewsOutcome::FetchFailed;
        const std::wstring text = common::Trim(platform::WideFromUtf8(*list));
        if (!text.empty()) {
            serverVersion = ServerVersionFromList(text, config_.productCode);
            newer = VersionGreater(serverVersion, config_.ownVersion);
        }
    }
    const auto news = Post(newer ? kUpdateNewsPath : kNewsPath);
    if (!news) return NewsOutcome::FetchFailed;
    if (!NewsFileComplete(*news)) return NewsOutcome::Rejected;
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
    return NewsOutcome::Fetched;
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
