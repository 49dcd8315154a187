#include "addons/backup_file.h"

#include "platform/files.h"
#include "platform/shell.h"

namespace tarvo::addons {

std::wstring BackupFile(const std::wstring& storeFolder, const std::wstring& subFolder, const std::wstring& file) {
    if (storeFolder.empty()) return {};
    std::wstring target = storeFolder + subFolder;
    if (platform::FolderExists(target) && !platform::ShellDeleteFolderTree(target)) {
        const std::wstring guid = platform::NewGuidText(false);
        if (guid.empty()) return {};
        target = storeFolder + guid + L"\\";
    }
    if (!platform::CreateDirectoryOf(target)) return {};
    const auto slash = file.find_last_of(L"\\/:");
    const std::wstring copy = target + (slash == std::wstring::npos ? file : file.substr(slash + 1));
    return platform::CopyFileOf(file, copy) ? copy : std::wstring();
}

}  // namespace tarvo::addons
