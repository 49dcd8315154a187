#pragma once
// The vote window: an add-on's name, five stars and their level buttons, and "Vote", which
// sends the vote on a worker thread (TVoteThread) and closes once the server took it. The
// decisions live in online::TPluginVote; this window forwards clicks and paints.

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

#include "addons/all_browser_cleaner.h"
#include "online/plugin_vote.h"
#include "shell/control_ids.h"
#include "ui/frameless_dialog.h"
#include "ui/image_button.h"

namespace tarvo::shell {

class TfrmPluginVote final : public ui::FramelessDialog {
public:
    static constexpr const wchar_t* kClassName = L"TfrmPluginVote";
    static constexpr UINT UM_VOTEDONE = 0xB52;
    static constexpr int kIdClose = control_ids::kPluginVote + 1;
    static constexpr int kIdVote = control_ids::kPluginVote + 2;
    static constexpr int kIdLevel = control_ids::kPluginVote + 10;  // + 0..4: "1 Star" .. "5 Star"

    // `server`: the statistics server's address (without a trailing "/").
    TfrmPluginVote(addons::TPluginItem& item, addons::TAllBrowserCleaner& cleaner, std::wstring server);
    ~TfrmPluginVote() override;

    bool Create(HWND owner);
    // After ShowModal: true when a vote was sent and stored.
    [[nodiscard]] bool Accepted() const noexcept { return accepted_; }
    // Presses "Vote" as the user would (the screenshot driver shows the waiting panel so).
    void PressVote();

private:
    // What the worker hands over: written before it posts, read after the message.
    struct Exchange {
        std::mutex lock;
        online::VoteReply reply;
    };

    void OnPaint(HDC dc) override;
    void OnCommand(int id, int code) override;
    void OnTimer(UINT_PTR id) override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(POINT at) override;
    void OnMouseLeave() override;
    void OnMouseDown(POINT at, bool doubleClick) override;

    void CreateControls();
    void ShowChoosing(bool shown);
    void UpdateControls();
    void OnVoteDone();
    [[nodiscard]] RECT StarRect(int index) const;  // 0-based
    [[nodiscard]] int StarAt(POINT client) const;   // 1-based; 0 for none

    static constexpr int kDesignWidth = 420;
    static constexpr int kDesignHeight = 250;
    static constexpr int kBandHeight = 36;
    static constexpr UINT_PTR kAnimationTimer = 1;

    online::TPluginVote vote_;
    addons::TAllBrowserCleaner& cleaner_;
    std::wstring server_;
    std::shared_ptr<Exchange> exchange_;
    bool accepted_ = false;
    int hover_ = 0;
    int spinner_ = 0;
    ui::ImageButton close_, voteButton_;
    ui::ImageButton levels_[5];
};

}  // namespace tarvo::shell
