#include "uninstall/log_manager.h"

#include "language/language.h"
#include "platform/files.h"

namespace tarvo::uninstall {

DeleteOutcome DeleteOrScheduleAtRestart(const std::wstring& path) {
    if (platform::DeleteFileOf(path)) return DeleteOutcome::Deleted;
    if (platform::DeleteFileAtRestart(path)) return DeleteOutcome::ScheduledAtRestart;
    return DeleteOutcome::Failed;
}

TLogManager::TLogManager(std::wstring logFolder) : folder_(std::move(logFolder)) {}

void TLogManager::Refresh() {
    items_ = ListLogFiles(folder_);
    selected_ = -1;
}

void TLogManager::Select(int index) noexcept {
    selected_ = index >= 0 && static_cast<std::size_t>(index) < items_.size() ? index : -1;
}

std::wstring TLogManager::PathAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return {};
    return items_[static_cast<std::size_t>(index)].path;
}

std::wstring TLogManager::OpenPath() const { return PathAt(selected_); }

std::wstring TLogManager::DeleteQuestion() {
    return language::GetText(L"Log_Delete_ASK",
                             L"Are you sure you want to delete the selected file? The deletion CANNOT be restored.");
}

std::wstring TLogManager::DeleteAllQuestion() {
    return language::GetText(L"Log_DeleteAll_ASK",
                             L"Are you sure you want to delete all files? The deletion CANNOT be restored.");
}

DeleteOutcome TLogManager::DeleteSelected() {
    if (selected_ < 0) return DeleteOutcome::Failed;
    const auto position = items_.begin() + selected_;
    const DeleteOutcome outcome = DeleteOrScheduleAtRestart(position->path);
    items_.erase(position);
    selected_ = -1;
    return outcome;
}

std::vector<DeleteOutcome> TLogManager::DeleteAll() {
    std::vector<DeleteOutcome> outcomes;
    for (const auto& item : items_) outcomes.push_back(DeleteOrScheduleAtRestart(item.path));
    items_.clear();
    selected_ = -1;
    return outcomes;
}

}  // namespace tarvo::uninstall
