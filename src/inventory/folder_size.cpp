#include "inventory/folder_size.h"

#include <vector>

#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"

namespace tarvo::inventory {

using common::WithTrailingBackslash;

std::int64_t FolderSize(const std::wstring& path, std::int64_t limit, const std::atomic<bool>* cancel,
                        TFolderListing* topLevel) {
    std::int64_t total = 0;
    std::vector<std::wstring> folders{WithTrailingBackslash(path)};
    if (topLevel) *topLevel = TFolderListing{folders.front(), {}, false};
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    // The list grows while it is walked; index, not iterators.
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (cancel && cancel->load(std::memory_order_relaxed)) break;
        const std::wstring folder = folders[i];
        if (!finder.FindFirst(folder + L"*.*", data)) continue;
        do {
            if (platform::IsDotName(data.cFileName)) continue;
            if (topLevel && i == 0) topLevel->names.emplace_back(data.cFileName);
            const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder && !platform::IsReparsePoint(data.dwFileAttributes)) {
                folders.push_back(folder + data.cFileName + L"\\");
                continue;
            }
            total += static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                               data.nFileSizeLow);
        } while (finder.FindNext(data));
        finder.Close();
        if (topLevel && i == 0) topLevel->complete = true;
        if (total >= limit) break;
    }
    return total;
}

}  // namespace tarvo::inventory
