#include "inventory/software_page.h"

#include <algorithm>
#include <limits>

#include "common/date_time.h"
#include "common/text.h"
#include "settings/main_ini.h"

namespace tarvo::inventory {

using common::Trim;
using common::UpperCase;

TSoftwarePage::TSoftwarePage(const TSoftList& entries, std::function<TDateTime()> now)
    : entries_(entries), now_(now ? std::move(now) : std::function<TDateTime()>(common::NowLocal)) {}

void TSoftwarePage::EnsureUpperNames() {
    // Names never change once read, so each is upper-cased once, not once per keystroke.
    for (std::size_t i = upperNames_.size(); i < entries_.size(); ++i)
        upperNames_.push_back(UpperCase(entries_[i]->DisplayName));
}

void TSoftwarePage::EnsureOrder() {
    if (orderValid_ && order_.size() == entries_.size()) return;
    order_.resize(entries_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;

    // Keys are worked out once per entry: parsing a date per comparison would cost far more
    // than the sort itself.
    std::function<int(std::size_t, std::size_t)> compare;
    std::vector<TDateTime> dates;
    std::vector<std::wstring> captions;
    switch (sortColumn_) {
    case kSizeColumn:
        compare = [this](std::size_t a, std::size_t b) {
            return CompareSizeTexts(entries_[a]->SizeText, entries_[b]->SizeText);
        };
        break;
    case kDateColumn:
        dates.resize(entries_.size());
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const std::wstring& text = entries_[i]->InstallDateText;
            dates[i] = Trim(text).empty() ? -std::numeric_limits<TDateTime>::infinity() : DateSortValue(text);
        }
        compare = [&dates](std::size_t a, std::size_t b) { return dates[a] < dates[b] ? -1 : dates[a] > dates[b] ? 1 : 0; };
        break;
    default:
        captions.resize(entries_.size());
        for (std::size_t i = 0; i < entries_.size(); ++i) captions[i] = RowCaption(*entries_[i]);
        compare = [&captions](std::size_t a, std::size_t b) { return CompareNames(captions[a], captions[b]); };
        break;
    }
    const bool reverse = sortState_ == 2;
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
        return reverse ? compare(b, a) < 0 : compare(a, b) < 0;
    });
    orderValid_ = true;
}

void TSoftwarePage::Show() {
    EnsureUpperNames();
    EnsureOrder();
    const TDateTime now = now_();
    rows_.clear();
    rowOfEntry_.assign(entries_.size(), -1);
    for (const std::size_t index : order_) {
        const TSoftInfo& entry = *entries_[index];
        if (!InCategory(entry, category_, now)) continue;
        if (!upperSearch_.empty() && upperNames_[index].find(upperSearch_) == std::wstring::npos) continue;
        rowOfEntry_[index] = static_cast<int>(rows_.size());
        rows_.push_back(index);
    }
}

bool TSoftwarePage::SelectCategory(TCategory category) {
    if (category == category_) return false;
    category_ = category;
    search_.clear();
    upperSearch_.clear();
    if (category == TCategory::LargePrograms) SetSort(kSizeColumn, 2);
    Show();
    return true;
}

void TSoftwarePage::SetSearch(std::wstring trimmedText) {
    search_ = std::move(trimmedText);
    upperSearch_ = UpperCase(search_);
    Show();
}

TSoftInfo* TSoftwarePage::EntryOfRow(int row) const noexcept {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return nullptr;
    return entries_[rows_[static_cast<std::size_t>(row)]].get();
}

std::size_t TSoftwarePage::EntryIndexOfRow(int row) const noexcept {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return entries_.size();
    return rows_[static_cast<std::size_t>(row)];
}

int TSoftwarePage::RowOfEntry(std::size_t index) const noexcept {
    return index < rowOfEntry_.size() ? rowOfEntry_[index] : -1;
}

void TSoftwarePage::SetSort(int column, int state) {
    if (column == sortColumn_ && state == sortState_) return;
    sortColumn_ = column;
    sortState_ = state;
    orderValid_ = false;
}

bool TSoftwarePage::ClickHeader(int column, int state) {
    if (column == kOperateColumn || column < 0 || column > kDateColumn) return false;
    SetSort(column, state);
    Show();
    return true;
}

void TSoftwarePage::LoadSortSettings(const settings::TMainIni& ini) {
    int column = ini.ColumnIndex();
    if (column < 0 || column > kDateColumn || column == kOperateColumn) column = kNameColumn;
    SetSort(column, ini.SortState().value_or(sortState_));
}

void TSoftwarePage::SaveSortSettings(const settings::TMainIni& ini) const {
    (void)ini.SetColumnIndex(sortColumn_);
    (void)ini.SetSortState(sortState_);
}

void TSoftwarePage::SetViewStyle(TViewStyle style, const settings::TMainIni& ini) {
    view_ = style;
    (void)ini.SetListViewViewStyle(static_cast<int>(style));
}

void TSoftwarePage::ToggleBatch(const settings::TMainIni& ini) {
    batch_ = !batch_;
    (void)ini.SetBatchUninstall(batch_);
}

void TSoftwarePage::LoadViewSettings(const settings::TMainIni& ini) {
    view_ = ini.ListViewViewStyle() == 1 ? TViewStyle::LargeIcons : TViewStyle::Details;
    batch_ = ini.BatchUninstall();
}

void TSoftwarePage::TakeSettingsOf(const TSoftwarePage& other) {
    view_ = other.view_;
    batch_ = other.batch_;
    SetSort(other.sortColumn_, other.sortState_);
}

bool TSoftwarePage::IsChecked(std::size_t entryIndex) const noexcept {
    return entryIndex < checked_.size() && checked_[entryIndex] != 0;
}

void TSoftwarePage::SetChecked(std::size_t entryIndex, bool checked) {
    if (entryIndex >= entries_.size()) return;
    if (checked_.size() < entries_.size()) checked_.resize(entries_.size(), 0);
    checked_[entryIndex] = checked ? 1 : 0;
}

std::vector<TSoftInfo*> TSoftwarePage::UninstallTargets(int selectedRow, bool single) const {
    std::vector<TSoftInfo*> targets;
    if (batch_ && !single) {
        for (const std::size_t index : rows_)
            if (IsChecked(index)) targets.push_back(entries_[index].get());
        return targets;
    }
    if (TSoftInfo* entry = EntryOfRow(selectedRow)) targets.push_back(entry);
    return targets;
}

}  // namespace tarvo::inventory
