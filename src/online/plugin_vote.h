#pragma once
// A user's vote on an add-on, without a window: which stars show, when "Vote" may be pressed,
// the request sent to the statistics server, and what its answer means. The vote window
// forwards to this; the request itself runs on a worker thread (SendVote).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "addons/all_browser_cleaner.h"
#include "addons/plugin_item.h"

namespace tarvo::online {

// Result codes of a vote request, as the worker posts them.
enum VoteCode : int { voteAnswered = 0, voteNoBody = 1, voteTimedOut = 2 };
inline constexpr DWORD kVoteTimeLimitMs = 20000;

struct VoteReply {
    int code = voteTimedOut;
    std::string body;
};

// The request address: server + "/uninstall_v3_vote.php?name=<caption>&score=<stars>". The
// caption goes out as UTF-8; what would end or split the query ("&", "#", "+", "%",
// spaces, controls) and everything above U+007F is percent-encoded.
[[nodiscard]] std::wstring VoteAddress(const std::wstring& server, const std::wstring& caption, std::int32_t stars);

// GET within the time limit: no answer in time (or no network) is voteTimedOut, an answer
// other than 200 is voteNoBody, and a 200 hands over its body.
[[nodiscard]] VoteReply SendVote(const std::wstring& address, DWORD timeLimitMs = kVoteTimeLimitMs);

// The server took the vote: it answered with the body "true" (any case).
[[nodiscard]] bool VoteAccepted(const VoteReply& reply);

class TPluginVote {
public:
    // The item's own vote when it voted, else its score; nothing is highlighted outside 1-5.
    void Prepare(addons::TPluginItem& item);
    [[nodiscard]] std::int32_t Stars() const noexcept { return stars_; }
    [[nodiscard]] bool Voted() const noexcept { return item_ && item_->Voted; }
    [[nodiscard]] bool VoteEnabled() const noexcept { return !Voted() && stars_ > 0 && !sending_; }
    [[nodiscard]] bool Sending() const noexcept { return sending_; }
    // Stars lit with the mouse over star `hover` (0: none).
    [[nodiscard]] std::int32_t LitStars(std::int32_t hover) const noexcept;
    // A star or level button was clicked; ignored once voted.
    void Choose(std::int32_t stars) noexcept;
    // "Vote" pressed: the address to send, or nullopt when no mark is chosen.
    [[nodiscard]] std::optional<std::wstring> BeginSend(const std::wstring& server);
    // The worker's reply: true when the vote was accepted and stored (and the window closes).
    bool Finish(const VoteReply& reply, addons::TAllBrowserCleaner& cleaner);
    [[nodiscard]] const addons::TPluginItem* Item() const noexcept { return item_; }

private:
    addons::TPluginItem* item_ = nullptr;
    std::int32_t stars_ = -1;
    bool sending_ = false;
};

}  // namespace tarvo::online
