#include "uninstall/operation_log.h"

#include <cwchar>
#include <optional>

#include "language/language.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "settings/system_info.h"
#include "uninstall/log_text.h"

namespace tarvo::uninstall {

namespace {

constexpr wchar_t kRule[] = L"====================================";  // 36 signs
// A virus scanner or backup tool may hold the file for a moment; after that we give up
// rather than keep the uninstall dialog waiting.
constexpr int kReadAttempts = 3;
constexpr DWORD kReadRetryMilliseconds = 100;

std::wstring Format(const wchar_t* pattern, const SYSTEMTIME& t, bool withTime) {
    wchar_t text[32] = {};
    if (withTime)
        std::swprintf(text, 32, pattern, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    else
        std::swprintf(text, 32, pattern, t.wYear, t.wMonth, t.wDay);
    return text;
}

SYSTEMTIME Now(const LogContext& context) {
    return context.clock ? context.clock() : platform::LocalTimeNow();
}

std::optional<std::vector<std::wstring>> ReadExisting(const std::wstring& path) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (attempt > 0) ::Sleep(kReadRetryMilliseconds);
        if (const auto bytes = platform::ReadFileBytes(path)) return DecodeLogText(*bytes);
    }
    return std::nullopt;
}

LogWriteResult Write(const LogContext& context, const std::vector<std::wstring>& lines,
                     std::vector<std::wstring> (*header)(const std::wstring&, const std::wstring&,
                                                         const SYSTEMTIME&)) {
    try {
        const SYSTEMTIME now = Now(context);
        if (!CreateFolderTree(context.folder)) return LogWriteResult::SaveFailed;
        const std::wstring path = context.folder + L"\\" + DayLogFileName(now);

        std::vector<std::wstring> all;
        const DWORD attributes = platform::GetFileAttributesOf(path);
        // Someone protected the day file; Windows would refuse the replace below anyway,
        // but not every file system says so.
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return LogWriteResult::SaveFailed;
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            // Never start a fresh list over a file we could not read: that would wipe the
            // day's earlier operations.
            auto existing = ReadExisting(path);
            if (!existing) return LogWriteResult::DayFileUnreadable;
            all = std::move(*existing);
        } else {
            all = header(context.appVersion, context.systemName, now);
        }
        all.insert(all.end(), lines.begin(), lines.end());

        // Written beside the day file and moved over it, so a full disk or a crash half-way
        // leaves the day's earlier lines whole. The name has no ".log" in it,
        // so a leftover never shows in the log manager.
        const std::wstring temporary = context.folder + L"\\~" + Format(L"%04u-%02u-%02u", now, false) + L".tmp";
        if (!platform::WriteFileBytes(temporary, EncodeLogText(all)) ||
            !platform::MoveFileReplacing(temporary, path)) {
            (void)platform::DeleteFileOf(temporary);
            return LogWriteResult::SaveFailed;
        }
        return LogWriteResult::Written;
    } catch (...) {
        return LogWriteResult::SaveFailed;
    }
}

}  // namespace

std::wstring LogFolderOf(const std::wstring& dataFolder) {
    if (!dataFolder.empty() && dataFolder.back() == L'\\') return dataFolder + L"Log";
    return dataFolder + L"\\Log";
}

std::wstring CurrentAppVersion() {
    constexpr int kFileVersion = 3;
    return settings::VersionText(platform::GetModuleFilePath(), kFileVersion);
}

LogContext MakeLogContext(const std::wstring& dataFolder) {
    return LogContext{LogFolderOf(dataFolder), CurrentAppVersion(), settings::WindowsName(), {}};
}

std::wstring DayLogFileName(const SYSTEMTIME& localTime) {
    return Format(L"%04u-%02u-%02u", localTime, false) + L".log";
}

std::wstring LogTimestamp(const SYSTEMTIME& localTime) {
    return Format(L"%04u-%02u-%02u %02u:%02u:%02u", localTime, true);
}

std::vector<std::wstring> UninstallLogHeader(const std::wstring& appVersion, const std::wstring& systemName,
                                             const SYSTEMTIME& localTime) {
    return {kRule,
            L"Tarvo Uninstaller Log",
            L"Applicaption Version: " + appVersion,
            L"Operation System Verison: " + systemName,
            L"Date:" + LogTimestamp(localTime),
            kRule,
            L""};
}

std::vector<std::wstring> RemovalLogHeader(const std::wstring& appVersion, const std::wstring& systemName,
                                           const SYSTEMTIME& localTime) {
    return {kRule,
            L"Tarvo Uninstaller " + language::GetText(L"Log_M", L"Log"),
            L"Applicaption Version:" + appVersion,
            L"Operation System Verison:" + systemName,
            L"Date:" + LogTimestamp(localTime),
            kRule,
            L""};
}

LogWriteResult WriteUninstallLog(const LogContext& context, const std::vector<std::wstring>& lines) {
    return Write(context, lines, &UninstallLogHeader);
}

LogWriteResult WriteRemovalLog(const LogContext& context, const std::vector<std::wstring>& lines) {
    return Write(context, lines, &RemovalLogHeader);
}

bool CreateFolderTree(const std::wstring& path) {
    if (path.empty()) return false;
    if (platform::FolderExists(path)) return true;
    const auto slash = path.find_last_of(L'\\');
    // Stop at a drive ("C:") or a share root; those are not ours to create.
    if (slash != std::wstring::npos && slash > 0 && path[slash - 1] != L':' && path[slash - 1] != L'\\')
        (void)CreateFolderTree(path.substr(0, slash));
    return platform::CreateDirectoryOf(path) || platform::FolderExists(path);
}

}  // namespace tarvo::uninstall
