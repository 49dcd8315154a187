#include "inventory/file_facts.h"

namespace tarvo::inventory {

std::optional<WIN32_FILE_ATTRIBUTE_DATA> TFileFacts::Data(const std::wstring& path) {
    std::wstring key = path;
    // "C:\" keeps its backslash: "C:" names the drive's current folder, not its root.
    const bool asFolder = key.size() > 3 && key.back() == L'\\';
    if (asFolder) key.pop_back();
    auto known = answers_.find(key);
    if (known == answers_.end()) {
        auto answer = platform::GetFileAttributesExOf(key);
        known = answers_.emplace(std::move(key), std::move(answer)).first;
    }
    // With the backslash the path names a folder; a file of that name is no answer.
    if (asFolder && known->second && !(known->second->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return known->second;
}

DWORD TFileFacts::Attributes(const std::wstring& path) {
    const auto data = Data(path);
    return data ? data->dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

std::optional<platform::FileTimes> TFileFacts::Times(const std::wstring& path) {
    const auto data = Data(path);
    if (!data) return std::nullopt;
    return platform::FileTimes{data->ftCreationTime, data->ftLastAccessTime, data->ftLastWriteTime};
}

bool TFileFacts::FileExists(const std::wstring& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool TFileFacts::FolderExists(const std::wstring& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace tarvo::inventory
