#pragma once
// The forced-uninstall window's decisions, without a window: what the path box and the raw
// path hold, which catalogue entries are listed, when "Next" may be pressed, and what "Next"
// hands to the uninstall dialog. The window implements IForcedUninstallView and forwards its
// events here; tests drive it with a recording view.

#include <string>
#include <vector>

#include "inventory/soft_info.h"
#include "uninstall/uninstall_session.h"

namespace tarvo::inventory {
class TSoftwareInfo;
}

namespace tarvo::uninstall {

enum class TForcedPage { Tip, ListView };

class IForcedUninstallView {
public:
    virtual void ShowPathText(const std::wstring& text) = 0;
    // The list's rows in order; the window shows them with their captions and icons.
    virtual void ShowRows(const std::vector<const inventory::TSoftInfo*>& rows) = 0;
    virtual void SelectRow(int row) = 0;
    virtual void ShowPage(TForcedPage page) = 0;
    virtual void EnableNext(bool enabled) = 0;
    // "Invalid path. Please select again!" with an OK button and the window's title.
    virtual void ShowInvalidPath() = 0;
    virtual void BringForward() = 0;

protected:
    ~IForcedUninstallView() = default;
};

// What "Next" hands to the uninstall dialog.
struct TForcedNext {
    const inventory::TSoftInfo* entry = nullptr;  // none: the dialog starts with the files deleted
    TForcedOpening opening;
};

class TForcedUninstall {
public:
    // `catalogue` may be null: nothing is then ever listed.
    TForcedUninstall(const inventory::TSoftwareInfo* catalogue, IForcedUninstallView& view);

    // A path chosen in the file dialog: accepted paths are analysed; others show the
    // invalid-path message and empty the window. True when accepted.
    bool Browsed(const std::wstring& choice);
    // A path dropped on the window: as browsing, but a refused drop changes nothing.
    bool Dropped(const std::wstring& path);

    // Lists the entries installed in the target's folder.
    void AnalysePath(const std::wstring& target);
    // Lists the entries whose name contains the text.
    void AnalyseName(const std::wstring& text);

    // The hand-offs of the main window. A program name from the Control Panel or Explorer
    // hook; a path that the main window resolved (raw = what came in).
    void HandOffName(const std::wstring& name);
    void HandOffPath(const std::wstring& rawPath, const std::wstring& target);

    // The list's selection changed (-1: none).
    void RowSelected(int row);

    // Something in the path box, and at most one row or a row selected.
    [[nodiscard]] bool NextEnabled() const noexcept;
    // "Next" and the list menu's "Uninstall": marks the window started and says what the
    // uninstall dialog gets; with exactly one row that row is selected first. Nothing (an
    // empty opening) while "Next" is disabled.
    [[nodiscard]] TForcedNext Next();

    [[nodiscard]] const std::wstring& PathText() const noexcept { return pathText_; }
    [[nodiscard]] const std::wstring& RawPath() const noexcept { return rawPath_; }
    [[nodiscard]] const std::vector<const inventory::TSoftInfo*>& Rows() const noexcept { return rows_; }
    [[nodiscard]] int SelectedRow() const noexcept { return selected_; }
    [[nodiscard]] const inventory::TSoftInfo* SelectedEntry() const noexcept;
    [[nodiscard]] TForcedPage Page() const noexcept { return page_; }
    [[nodiscard]] bool Started() const noexcept { return started_; }

    // A row's caption: the name, and "(x64)" after it for an entry of the 64-bit view.
    [[nodiscard]] static std::wstring RowCaption(const inventory::TSoftInfo& entry);

private:
    void SetPathText(const std::wstring& text);
    void ShowFound(const std::vector<std::size_t>& indexes);
    void ApplySelectionRule();
    bool Take(const std::wstring& path, bool complain);

    const inventory::TSoftwareInfo* catalogue_;
    IForcedUninstallView& view_;
    std::wstring pathText_;
    std::wstring rawPath_;
    std::vector<const inventory::TSoftInfo*> rows_;
    int selected_ = -1;
    TForcedPage page_ = TForcedPage::Tip;
    bool started_ = false;
};

// "X:\..." or "\\server\...": a path that does not depend on the current folder.
[[nodiscard]] bool IsRootedPath(const std::wstring& path);

}  // namespace tarvo::uninstall
