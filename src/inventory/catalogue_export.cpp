#include "inventory/catalogue_export.h"

#include <cwchar>

#include "common/date_time.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "settings/system_info.h"

namespace tarvo::inventory {

using common::Contains;
using common::DateToSystemTime;
using common::LowerCase;
using common::NowLocal;

namespace {

constexpr wchar_t kNewLine[] = L"\r\n";

// "mm-dd-yyyy hh:mm:ss", 24-hour clock.
std::wstring ExportTimeText(TDateTime value) {
    const auto time = DateToSystemTime(value);
    if (!time) return {};
    wchar_t buffer[32] = {};
    std::swprintf(buffer, 32, L"%02u-%02u-%04u %02u:%02u:%02u", time->wMonth, time->wDay, time->wYear, time->wHour,
                  time->wMinute, time->wSecond);
    return buffer;
}

void Line(std::wstring& text, const std::wstring& line) {
    text += line;
    text += kNewLine;
}

}  // namespace

ExportHeader CurrentExportHeader() {
    ExportHeader header;
    header.applicationVersion = settings::VersionText(platform::GetModuleFilePath(nullptr), 3);
    header.windowsName = settings::WindowsName();
    header.exportedAt = NowLocal();
    return header;
}

std::wstring ExportFileName(const std::wstring& chosen) {
    return Contains(LowerCase(chosen), L".txt") ? chosen : chosen + L".txt";
}

std::wstring ExportText(const TSoftList& entries, const ExportHeader& header) {
    const std::wstring rule(36, L'=');
    std::wstring text;
    Line(text, rule);
    Line(text, L"Software List");
    Line(text, L"Application Version:" + header.applicationVersion);
    Line(text, header.windowsName);
    Line(text, L"Exported Time:" + ExportTimeText(header.exportedAt));
    Line(text, rule);
    Line(text, L"");
    const std::wstring separator(46, L'-');
    for (const auto& entry : entries) {
        const TSoftInfo& e = *entry;
        if (e.Hidden) continue;
        Line(text, L"Software Name: " + e.DisplayName);
        Line(text, L"Version: " + e.DisplayVersion);
        Line(text, L"Publisher: " + e.Publisher);
        Line(text, L"Install Time: " + e.InstallDateText);
        Line(text, L"Size: " + e.SizeText);
        Line(text, L"Help info: " + e.HelpLink);
        Line(text, L"Registry Key: " + e.RootKeyName + e.KeyPath);
        Line(text, L"Uninstall Command: " + e.UninstallString);
        Line(text, separator);
        Line(text, L"");
    }
    return text;
}

std::string ExportBytes(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes += '\xFF';
    bytes += '\xFE';
    for (const wchar_t c : text) {
        bytes += static_cast<char>(static_cast<unsigned>(c) & 0xFFu);
        bytes += static_cast<char>((static_cast<unsigned>(c) >> 8) & 0xFFu);
    }
    return bytes;
}

bool WriteExportFile(const std::wstring& path, const TSoftList& entries, const ExportHeader& header) {
    return platform::WriteFileBytes(path, ExportBytes(ExportText(entries, header)));
}

}  // namespace tarvo::inventory
