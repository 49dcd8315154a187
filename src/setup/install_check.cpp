#include "setup/install_check.h"

#include "common/text.h"
#include "platform/registry.h"

namespace tarvo::setup {

namespace {
bool ParseWholeNumber(const std::wstring& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return false;
    long long number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        number = number * 10 + (text[i] - L'0');
        if (number > 0x7FFFFFFFLL) return false;
    }
    value = static_cast<int>(negative ? -number : number);
    return true;
}
}  // namespace

VersionParts SplitVersionParts(const std::wstring& text) {
    VersionParts parts{-1, -1, -1, -1};
    std::size_t start = 0;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        if (start > text.size()) break;
        const std::size_t dot = text.find(L'.', start);
        const std::size_t end = dot == std::wstring::npos ? text.size() : dot;
        int value = 0;
        if (!ParseWholeNumber(common::Trim(text.substr(start, end - start)), value)) break;
        parts[index] = value;
        start = dot == std::wstring::npos ? text.size() + 1 : dot + 1;
    }
    return parts;
}

bool OwnVersionWantsInstallation(const std::wstring& ownVersion, const std::wstring& installedVersion) {
    const VersionParts own = SplitVersionParts(ownVersion);
    const VersionParts installed = SplitVersionParts(installedVersion);
    return own[0] > installed[0] || own[1] > installed[1] || own[2] > installed[2];
}

InstalledCopy ReadInstalledCopy(HKEY root, const std::wstring& keyPath) {
    InstalledCopy copy;
    platform::RegistryKey key;
    if (key.Open(root, keyPath, KEY_READ, platform::RegistryView::Default) != ERROR_SUCCESS) return copy;
    copy.keyOpens = true;
    copy.installLocation = key.QueryString(L"InstallLocation").value_or(std::wstring());
    copy.displayVersion = key.QueryString(L"DisplayVersion").value_or(std::wstring());
    return copy;
}

bool InstallationNeeded(const InstalledCopy& installed, const std::wstring& runningExecutable,
                        const std::wstring& ownVersion) {
    if (!installed.keyOpens) return true;
    if (common::EqualsIgnoreCase(common::Trim(installed.installLocation), common::Trim(runningExecutable))) return false;
    if (installed.displayVersion.empty()) return true;
    return OwnVersionWantsInstallation(ownVersion, installed.displayVersion);
}

}  // namespace tarvo::setup
