#include "online/plugin_vote.h"

#include <algorithm>

#include "platform/internet.h"
#include "platform/text.h"

namespace tarvo::online {

std::wstring VoteAddress(const std::wstring& server, const std::wstring& caption, std::int32_t stars) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring name;
    for (const char c : platform::Utf8FromWide(caption)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && std::wstring_view(L"&#+%").find(static_cast<wchar_t>(byte)) == std::wstring_view::npos) {
            name += static_cast<wchar_t>(byte);
        } else {
            name += L'%';
            name += kHex[byte >> 4];
            name += kHex[byte & 0x0F];
        }
    }
    return server + L"/uninstall_v3_vote.php?name=" + name + L"&score=" + std::to_wstring(stars);
}

VoteReply SendVote(const std::wstring& address, DWORD timeLimitMs) {
    platform::HttpOptions options;
    options.timeoutMs = timeLimitMs;
    options.maxBytes = 1u << 20;
    const auto response = platform::HttpGet(address, options);
    if (!response) return {voteTimedOut, {}};
    if (response->status != 200) return {voteNoBody, {}};
    return {voteAnswered, response->body};
}

bool VoteAccepted(const VoteReply& reply) {
    if (reply.code != voteAnswered) return false;
    // A page's text comes without the white space around it.
    const auto first = reply.body.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return false;
    const auto last = reply.body.find_last_not_of(" \t\r\n");
    std::string text = reply.body.substr(first, last - first + 1);
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text == "true";
}

void TPluginVote::Prepare(addons::TPluginItem& item) {
    item_ = &item;
    stars_ = item.Voted ? item.MyVote : item.Score;
    sending_ = false;
}

std::int32_t TPluginVote::LitStars(std::int32_t hover) const noexcept {
    if (hover >= 1 && hover <= 5 && !Voted()) return hover;
    return stars_ >= 1 && stars_ <= 5 ? stars_ : 0;
}

void TPluginVote::Choose(std::int32_t stars) noexcept {
    if (!Voted() && !sending_ && stars >= 1 && stars <= 5) stars_ = stars;
}

std::optional<std::wstring> TPluginVote::BeginSend(const std::wstring& server) {
    if (!item_ || stars_ <= 0 || Voted()) return std::nullopt;
    stars_ = std::min(stars_, 5);
    sending_ = true;
    return VoteAddress(server, item_->Caption, stars_);
}

bool TPluginVote::Finish(const VoteReply& reply, addons::TAllBrowserCleaner& cleaner) {
    sending_ = false;
    if (!item_ || !VoteAccepted(reply)) return false;
    cleaner.RecordVote(*item_, stars_);
    item_->MyVote = stars_;
    item_->Voted = true;
    return true;
}

}  // namespace tarvo::online
