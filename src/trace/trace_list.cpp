#include "trace/trace_list.h"

#include "common/paths.h"
#include "language/language.h"
#include "platform/files.h"
#include "trace/trace_store.h"

namespace tarvo::trace {

TraceList::TraceList(std::wstring dataFolder, const platform::SqliteLibrary* sqlite)
    : dataFolder_(std::move(dataFolder)), sqlite_(sqlite) {}

void TraceList::Refresh() {
    items_.clear();
    selected_ = -1;
    if (!sqlite_ || !sqlite_->IsLoaded() || !platform::FileExists(TraceStorePath(dataFolder_))) return;
    TraceStore store;
    if (!store.Open(*sqlite_, TraceStorePath(dataFolder_))) return;
    std::vector<std::int64_t> counts;
    const std::vector<Trace> traces = store.List(&counts);
    for (std::size_t i = 0; i < traces.size(); ++i) {
        TraceRow row{traces[i].id, traces[i].time, common::NamePart(traces[i].setup), {}, counts[i]};
        for (const auto& entry : traces[i].entries) row.programs += (row.programs.empty() ? L"" : L", ") + entry.name;
        items_.push_back(std::move(row));
    }
}

std::wstring TraceList::DeleteQuestion() const {
    std::wstring text = language::GetText(
        L"Traces_Delete_Ask_M",
        L"Delete the trace of \"%s\"? The program stays installed; its removal goes back to the usual rules.");
    const std::wstring name = selected_ < 0                            ? std::wstring()
                              : items_[static_cast<std::size_t>(selected_)].programs.empty()
                                  ? items_[static_cast<std::size_t>(selected_)].setup
                                  : items_[static_cast<std::size_t>(selected_)].programs;
    if (const auto at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, name);
    return text;
}

bool TraceList::DeleteSelected() {
    if (selected_ < 0 || !sqlite_ || !sqlite_->IsLoaded()) return false;
    TraceStore store;
    const bool deleted = store.Open(*sqlite_, TraceStorePath(dataFolder_)) &&
                         store.Delete(items_[static_cast<std::size_t>(selected_)].id);
    Refresh();
    return deleted;
}

}  // namespace tarvo::trace
