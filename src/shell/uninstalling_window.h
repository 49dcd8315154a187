#pragma once
// The uninstall dialog: asks, shows the restore point and uninstall progress, then offers
// the leftover scan. Every decision is uninstall::TUninstallSession's; this window forwards
// its clicks and timer there and shows the stages the session enters.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "language/translation.h"
#include "shell/control_ids.h"
#include "ui/image_button.h"
#include "ui/frameless_dialog.h"
#include "uninstall/uninstall_session.h"

namespace tarvo::shell {

class TfrmUninstalling final : public ui::FramelessDialog, private uninstall::IUninstallView {
public:
    static constexpr const wchar_t* kClassName = L"TfrmUninstalling";
    // Control ids of this window.
    static constexpr int kIdUninstall = control_ids::kUninstalling + 1;
    static constexpr int kIdCancel = control_ids::kUninstalling + 2;
    static constexpr int kIdPowerfulScan = control_ids::kUninstalling + 3;
    static constexpr int kIdClose = control_ids::kUninstalling + 4;

    // Shows an OK message with the application title; tests and drivers record instead.
    using NoticeFn = std::function<void(HWND owner, const std::wstring& text)>;
    // Called on every stage the session enters, after the window shows it.
    using StageFn = std::function<void(uninstall::TUninstallStage)>;

    TfrmUninstalling(std::vector<const inventory::TSoftInfo*> entries, bool batchMode, bool createRestore,
                     uninstall::TUninstallActions actions, uninstall::TForcedOpening forced = {});
    ~TfrmUninstalling() override;

    // Creates the window centred over `owner` (the main window).
    bool Create(HWND owner);

    void SetNotice(NoticeFn notice) { notice_ = std::move(notice); }
    void SetStageObserver(StageFn observer) { stageObserver_ = std::move(observer); }
    [[nodiscard]] uninstall::TUninstallSession& Session() noexcept { return session_; }

private:
    void OnPaint(HDC dc) override;
    void OnClose() override;
    void OnCommand(int id, int code) override;
    void OnTimer(UINT_PTR id) override;
    void OnModalStart() override;
    [[nodiscard]] bool ModalEnded() const override { return ended_; }
    void OnEscape() override { session_.CancelClicked(); }
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // IUninstallView
    void ApplyStage(uninstall::TUninstallStage stage) override;
    void SetCreateRestoreTicked(bool ticked) override;
    void ShowProgressTitle(const std::wstring& text) override;
    void SetBusy(bool busy) override;
    void EnableUninstall(bool enabled) override;
    void EnableScan(bool enabled) override;
    void StartTimer(unsigned milliseconds) override;
    void HideDialog() override;
    void ShowNotice(const std::wstring& text) override;
    void CloseDialog() override;
    void SetQuietTicked(bool ticked) override;
    void ShowQuietWarning(const std::wstring& text) override;

    void CreateControls();
    void AddTranslations();
    void PaintCheckBox(HDC dc, const RECT& area, bool ticked, bool hot, const std::wstring& label) const;
    void PaintBusy(HDC dc) const;
    void OnMouseMove(POINT point) override;
    void OnMouseLeave() override;
    void OnMouseDown(POINT point, bool doubleClick) override;
    void Invalidate() const;
    [[nodiscard]] bool Visible(uninstall::DialogPart part) const noexcept;
    [[nodiscard]] RECT CheckArea() const noexcept;
    // The batch's quiet box, under the restore point's while asking.
    [[nodiscard]] RECT QuietArea() const noexcept;
    [[nodiscard]] bool QuietVisible() const noexcept;
    [[nodiscard]] RECT BusyArea() const noexcept;

    uninstall::TUninstallSession session_;
    ui::ImageButton uninstall_, cancel_, scan_, close_;
    std::array<bool, uninstall::kDialogPartCount> visible_{};
    bool ticked_ = false;
    bool checkHot_ = false;
    bool quietTicked_ = false;
    bool quietHot_ = false;
    bool busy_ = false;
    int spinStep_ = 0;
    bool ended_ = false;
    // Label texts, as designed; the language and the stages change them.
    std::wstring title_, question_, checkLabel_, quietLabel_, progressTitle_, progressDetail_, finishedTitle_, scanTitle_,
        scanDetail_, scanning_, closeHint_;
    NoticeFn notice_;
    StageFn stageObserver_;
    std::unique_ptr<language::TTranslatableWindow> texts_;
};

}  // namespace tarvo::shell
