// The news line in the main window's footer: the news check starts with the window, its
// worker hands each thing to show over through a mailbox and a posted message, and a click
// on the news opens its link and switches to the other item a little later.

#include <mutex>

#include "common/paths.h"
#include "online/last_news_check.h"
#include "platform/text.h"
#include "settings/main_ini.h"
#include "settings/server_addresses.h"
#include "settings/web_address.h"
#include "shell/main_window.h"
#include "setup/startup_folders.h"
#include "shell/test_seam.h"

namespace tarvo::shell {

// Only the latest view matters: a stored item shown a moment before the fetched one is
// simply replaced, so the worker never waits for the window.
struct NewsMailbox {
    std::mutex lock;
    std::optional<online::NewsView> latest;
};

namespace {

class PostingNewsDisplay final : public online::INewsDisplay {
public:
    PostingNewsDisplay(HWND window, UINT message, std::shared_ptr<NewsMailbox> mailbox)
        : window_(window), message_(message), mailbox_(std::move(mailbox)) {}

    void Show(const online::NewsView& view) override {
        {
            const std::lock_guard<std::mutex> hold(mailbox_->lock);
            mailbox_->latest = view;
        }
        (void)::PostMessageW(window_, message_, 0, 0);
    }

private:
    HWND window_;
    UINT message_;
    std::shared_ptr<NewsMailbox> mailbox_;
};

// The news connection waits at most this long for each step; the window never waits.
constexpr DWORD kNewsTimeoutMs = 15000;
constexpr std::size_t kNewsMaxBytes = 64u << 10;

}  // namespace

int TfrmTarvoUninstall::NewsFooterHeight() const noexcept { return news_.hwnd() ? S(NewsFooter::kDesignHeight) : 0; }

void TfrmTarvoUninstall::StartNewsCheck() {
    news_.Create(hwnd(), kNewsFooterId, dpi_);
    news_.onClick = [this](const std::wstring& link) { OnNewsClick(link); };
    // The feedback link reports its click as a command, like the title bar's links.
    news_.onFeedback = [this] { ::PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(kFeedbackId, BN_CLICKED), 0); };
    news_.SetFeedbackText(MainWindowText(L"RdImageButton_Feedback", L"Feedback"));
    LayOut();

    const settings::TMainIni ini;
    online::NewsCheckConfig config;
    // Without an installation the news lives beside the running copy.
    config.baseFolder = state_.programFolder;
    if (config.baseFolder.empty()) {
        const std::wstring exe = setup::RunningExecutablePath();
        config.baseFolder = common::FolderPart(exe);
    }
    config.server = settings::ReadServerAddresses(ini).download;
    config.ownVersion = setup::OwnFileVersionText();
    config.http.timeoutMs = kNewsTimeoutMs;
    config.http.maxBytes = kNewsMaxBytes;
    config.http.proxy = settings::ReadProxySettings(ini);
    config.now = platform::LocalTimeNow();
    test_seam::Log(L"news-folder: " + config.baseFolder);

    newsMailbox_ = std::make_shared<NewsMailbox>();
    newsSwitch_ = std::make_unique<online::TNewsSwitch>(config.baseFolder);
    online::TLastNewsCheck::Start(std::move(config),
                                  std::make_shared<PostingNewsDisplay>(hwnd(), UM_NEWS, newsMailbox_));
}

void TfrmTarvoUninstall::OnNewsPosted() {
    if (!newsMailbox_) return;
    std::optional<online::NewsView> view;
    {
        const std::lock_guard<std::mutex> hold(newsMailbox_->lock);
        view.swap(newsMailbox_->latest);
    }
    if (!view) return;
    news_.SetView(*view);
    test_seam::Log(L"news: " + (view->offline ? std::wstring(L"(offline)") : view->item.title));
}

void TfrmTarvoUninstall::OnNewsClick(const std::wstring& link) {
    if (online::IsOpenableNewsLink(link)) (void)settings::OpenWebAddress(link);
    if (newsSwitch_ && newsSwitch_->Click()) ::SetTimer(hwnd(), kTimerNewsSwitch, online::TNewsSwitch::kDelayMs, nullptr);
}

void TfrmTarvoUninstall::Timer_NewsSwitchTimer() {
    ::KillTimer(hwnd(), kTimerNewsSwitch);
    if (!newsSwitch_) return;
    const online::NewsView view = newsSwitch_->Fire();
    news_.SetView(view);
    test_seam::Log(L"news: " + (view.offline ? std::wstring(L"(offline)") : view.item.title));
}

}  // namespace tarvo::shell
