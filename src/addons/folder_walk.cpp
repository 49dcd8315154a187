#include "addons/folder_walk.h"

#include <windows.h>

#include "addons/addon_text.h"
#include "platform/files.h"

namespace tarvo::addons {

namespace {

bool IsFolder(const WIN32_FIND_DATAW& data) { return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

void Find(const std::wstring& folder, const std::wstring& name, std::wstring& result) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(folder + L"*.*", data)) return;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        if (IsFolder(data)) {
            if (!platform::IsReparsePoint(data.dwFileAttributes)) Find(folder + data.cFileName + L"\\", name, result);
        } else if (SameText(data.cFileName, name)) {
            result = folder + data.cFileName;
            return;
        }
    } while (finder.FindNext(data));
}

}  // namespace

std::wstring FindFileInTree(const std::wstring& folder, const std::wstring& name) {
    std::wstring result;
    Find(folder, name, result);
    return result;
}

void ListFilesInTree(const std::wstring& folder, std::vector<std::wstring>& list) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(folder + L"*.*", data)) return;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        if (IsFolder(data)) {
            if (!platform::IsReparsePoint(data.dwFileAttributes)) ListFilesInTree(folder + data.cFileName + L"\\", list);
        } else {
            list.push_back(folder + data.cFileName);
        }
    } while (finder.FindNext(data));
}

}  // namespace tarvo::addons
