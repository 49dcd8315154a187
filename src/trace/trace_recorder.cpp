#include "trace/trace_recorder.h"

#include "common/text.h"
#include "platform/folders.h"
#include "settings/system_info.h"

namespace tarvo::trace {

RecordingPlan DefaultRecordingPlan(const std::wstring& dataFolder) {
    RecordingPlan plan;
    plan.keys = DefaultWatchedKeys();
    plan.drives = DefaultWatchedDrives();
    plan.filter = DefaultTraceFilter(dataFolder);
    std::wstring folder = dataFolder;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    plan.spillPath = folder + L"Recording.tmp";
    return plan;
}

bool TraceRecorder::Begin() {
    if (!registry_.Take(plan_.keys, plan_.filter, plan_.spillPath)) return false;
    files_.Take(plan_.drives, plan_.filter);
    return true;
}

std::vector<TraceItem> TraceRecorder::End() {
    std::vector<TraceItem> items = registry_.Compare();
    std::vector<TraceItem> files = files_.Compare();
    const std::wstring windows = platform::GetWindowsFolder();
    const bool wow64 = settings::SystemFolderRedirected();
    for (TraceItem& item : files) {
        item.path = ReachablePath(item.path, windows, wow64);
        items.push_back(std::move(item));
    }
    return items;
}

std::wstring ReachablePath(const std::wstring& nativePath, const std::wstring& windowsFolder, bool wow64) {
    if (!wow64) return nativePath;
    const std::wstring system32 = windowsFolder + L"\\System32";
    if (nativePath.size() < system32.size() ||
        !common::EqualsIgnoreCase(nativePath.substr(0, system32.size()), system32))
        return nativePath;
    if (nativePath.size() != system32.size() && nativePath[system32.size()] != L'\\') return nativePath;
    return windowsFolder + L"\\Sysnative" + nativePath.substr(system32.size());
}

}  // namespace tarvo::trace
