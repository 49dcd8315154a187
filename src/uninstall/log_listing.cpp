#include "uninstall/log_listing.h"

#include <algorithm>
#include <cwchar>

#include "common/text.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tarvo::uninstall {

bool IsLogFileName(const std::wstring& name) {
    return common::UpperCase(name).find(L".LOG") != std::wstring::npos;
}

std::vector<LogFileRecord> ListLogFiles(const std::wstring& folder) {
    std::vector<LogFileRecord> files;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data;
    for (bool more = finder.FindFirst(folder + L"\\*", data); more; more = finder.FindNext(data)) {
        if (platform::IsDotName(data.cFileName) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !IsLogFileName(data.cFileName))
            continue;
        LogFileRecord record;
        record.name = data.cFileName;
        record.path = folder + L"\\" + data.cFileName;
        record.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        record.lastWrite = data.ftLastWriteTime;
        files.push_back(std::move(record));
    }
    return files;
}

namespace {
std::wstring GroupedNumber(ULONGLONG value) {
    std::wstring digits = std::to_wstring(value);
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, 1, L' ');
    return digits;
}
}  // namespace

std::vector<std::wstring> FormatLogListing(const std::vector<LogFileRecord>& files) {
    if (files.empty()) return {L"No log files."};
    std::size_t nameWidth = 0;
    std::size_t sizeWidth = 0;
    std::vector<std::wstring> sizes;
    for (const auto& file : files) {
        nameWidth = std::max(nameWidth, file.name.size());
        sizes.push_back(GroupedNumber(file.size) + L" bytes");
        sizeWidth = std::max(sizeWidth, sizes.back().size());
    }
    std::vector<std::wstring> lines;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SYSTEMTIME local = platform::FileTimeToLocal(files[i].lastWrite);
        wchar_t date[32] = {};
        std::swprintf(date, 32, L"%04u-%02u-%02u %02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
                      local.wMinute);
        std::wstring line = files[i].name + std::wstring(nameWidth - files[i].name.size() + 2, L' ');
        line += std::wstring(sizeWidth - sizes[i].size(), L' ') + sizes[i] + L"  " + date;
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace tarvo::uninstall
