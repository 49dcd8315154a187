#include "uninstall/forced_uninstall.h"

#include "inventory/forced_path.h"
#include "inventory/software_info.h"

namespace tarvo::uninstall {

bool IsRootedPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                       path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    return drive || path.rfind(L"\\\\", 0) == 0;
}

TForcedUninstall::TForcedUninstall(const inventory::TSoftwareInfo* catalogue, IForcedUninstallView& view)
    : catalogue_(catalogue), view_(view) {}

std::wstring TForcedUninstall::RowCaption(const inventory::TSoftInfo& entry) {
    return entry.View64 ? entry.DisplayName + L"(x64)" : entry.DisplayName;
}

void TForcedUninstall::SetPathText(const std::wstring& text) {
    pathText_ = text;
    view_.ShowPathText(text);
}

bool TForcedUninstall::Take(const std::wstring& path, bool complain) {
    const inventory::TForcedPath resolved = inventory::ResolveForcedPath(path);
    if (!resolved.accepted) {
        if (complain) {
            view_.ShowInvalidPath();
            SetPathText({});
            rows_.clear();
            selected_ = -1;
            view_.ShowRows(rows_);
            page_ = TForcedPage::Tip;
            view_.ShowPage(page_);
            view_.EnableNext(false);
        }
        return false;
    }
    rawPath_ = path;
    SetPathText(resolved.target);
    AnalysePath(resolved.target);
    return true;
}

bool TForcedUninstall::Browsed(const std::wstring& choice) { return Take(choice, true); }

bool TForcedUninstall::Dropped(const std::wstring& path) { return Take(path, false); }

void TForcedUninstall::ShowFound(const std::vector<std::size_t>& indexes) {
    rows_.clear();
    selected_ = -1;
    if (catalogue_) {
        for (const auto& index : indexes) {
            // An index that names no entry any more is passed over.
            if (const inventory::TSoftInfo* entry = catalogue_->EntryAt(index)) rows_.push_back(entry);
        }
    }
    view_.ShowRows(rows_);
    page_ = rows_.empty() ? TForcedPage::Tip : TForcedPage::ListView;
    view_.ShowPage(page_);
    ApplySelectionRule();
    view_.BringForward();
}

void TForcedUninstall::AnalysePath(const std::wstring& target) {
    std::vector<std::size_t> indexes;
    if (catalogue_) (void)catalogue_->EntriesInFolder(target, &indexes);
    ShowFound(indexes);
}

void TForcedUninstall::AnalyseName(const std::wstring& text) {
    std::vector<std::size_t> indexes;
    if (catalogue_ && !text.empty()) (void)catalogue_->EntriesByName(text, &indexes);
    ShowFound(indexes);
}

void TForcedUninstall::HandOffName(const std::wstring& name) {
    // A name is no path: whatever was dropped before must not be deleted on its behalf.
    rawPath_.clear();
    SetPathText(name);
    AnalyseName(name);
}

void TForcedUninstall::HandOffPath(const std::wstring& rawPath, const std::wstring& target) {
    rawPath_ = rawPath;
    SetPathText(target);
    AnalysePath(target);
}

void TForcedUninstall::RowSelected(int row) {
    selected_ = row >= 0 && static_cast<std::size_t>(row) < rows_.size() ? row : -1;
    ApplySelectionRule();
}

bool TForcedUninstall::NextEnabled() const noexcept {
    // An empty path box (at first, and after a refused choice) leaves nothing to act on.
    return !pathText_.empty() && (rows_.size() <= 1 || selected_ >= 0);
}

void TForcedUninstall::ApplySelectionRule() { view_.EnableNext(NextEnabled()); }

const inventory::TSoftInfo* TForcedUninstall::SelectedEntry() const noexcept {
    return selected_ >= 0 ? rows_[static_cast<std::size_t>(selected_)] : nullptr;
}

TForcedNext TForcedUninstall::Next() {
    TForcedNext next;
    if (!NextEnabled()) return next;
    started_ = true;
    next.opening.rawPath = rawPath_;
    // A program name in the path box names no file: it is neither deleted nor scanned, since
    // a relative name would resolve against whatever folder is current.
    next.opening.targetPath = [this] { return IsRootedPath(pathText_) ? pathText_ : std::wstring(); };
    if (rows_.empty()) {
        next.opening.kind = TForcedOpening::WithoutEntry;
        return next;
    }
    if (rows_.size() == 1 && selected_ < 0) {
        selected_ = 0;
        view_.SelectRow(0);
    }
    next.opening.kind = TForcedOpening::WithEntry;
    next.entry = SelectedEntry();
    return next;
}

}  // namespace tarvo::uninstall
