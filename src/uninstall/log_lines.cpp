#include "uninstall/log_lines.h"

#include "language/language.h"
#include "platform/text.h"

namespace tarvo::uninstall {

using language::GetText;

std::vector<std::wstring> UninstallLogLines(const std::wstring& displayName, const SYSTEMTIME& localTime) {
    return {L"[" + displayName + L"]",
            GetText(L"Date_M", L"Date") + L":" + platform::FormatUserDateTime(localTime),
            L""};
}

RemovalLogItem RemovalLogItem::Registry(const std::wstring& registryText, const std::wstring& valueName) {
    return {valueName.empty() ? Kind::RegistryKey : Kind::RegistryValue, registryText};
}

RemovalLogItem RemovalLogItem::File(const std::wstring& path) { return {Kind::File, path}; }

RemovalLogItem RemovalLogItem::Folder(const std::wstring& path) { return {Kind::Folder, path}; }

std::wstring CaptionBeforeCount(const std::wstring& caption) {
    // Without a "(" the caption is not one the tree made; it logs as nothing.
    const auto bracket = caption.find(L'(');
    return bracket == std::wstring::npos ? std::wstring() : caption.substr(0, bracket);
}

std::wstring RemovalItemLine(const RemovalLogItem& item) {
    switch (item.kind) {
    case RemovalLogItem::Kind::RegistryValue:
        return GetText(L"Deleted_Registry_Value_M", L"Deleted Registry Value") + L" " + item.text;
    case RemovalLogItem::Kind::RegistryKey:
        return GetText(L"Deleted_Registry_Key_M", L"Deleted Registry Key") + L" " + item.text;
    case RemovalLogItem::Kind::File:
        return GetText(L"Delete_File_M", L"Delete File") + L" " + item.text;
    case RemovalLogItem::Kind::Folder:
        return GetText(L"Delete_Folder_M", L"Delete Folder") + L" " + item.text;
    }
    return item.text;
}

std::vector<std::wstring> RemovalLogLines(const std::vector<RemovalLogProgram>& programs,
                                          const SYSTEMTIME& localTime) {
    std::vector<std::wstring> lines;
    const std::wstring date = GetText(L"Date_M", L"Date") + L": " + platform::FormatUserDateTime(localTime);
    for (const auto& program : programs) {
        lines.push_back(L"[" + CaptionBeforeCount(program.caption) + L"]");
        lines.push_back(GetText(L"Operation_M", L"Operation") + L": " +
                        GetText(L"Powerful_Scan_M", L"Powerful Scan"));
        lines.push_back(date);
        for (const auto& group : program.groups) {
            lines.emplace_back();
            lines.push_back(L"------" + CaptionBeforeCount(group.caption) + L"------");
            for (const auto& item : group.items) lines.push_back(RemovalItemLine(item));
        }
    }
    return lines;
}

}  // namespace tarvo::uninstall
