#include "leftovers/scan_guard.h"

#include <algorithm>
#include <vector>

#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/exclusion.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;

std::vector<std::wstring> Components(const std::wstring& keyPath) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (const wchar_t c : LowerCase(keyPath)) {
        if (c == L'\\') {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
        } else
            part += c;
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

const wchar_t* const kClassContainers[] = {L"clsid", L"typelib", L"interface", L"appid",
                                           L"installer", L"wow6432node", L"mime", L"systemfileassociations"};

bool IsClassContainer(const std::vector<std::wstring>& parts, std::size_t first) {
    // parts[first...] is a path below a classes key.
    const std::size_t depth = parts.size() - first;
    if (depth == 0) return true;
    const std::wstring& top = parts[first];
    if (depth == 1)
        return std::any_of(std::begin(kClassContainers), std::end(kClassContainers),
                           [&](const wchar_t* name) { return top == name; }) ||
               IsReservedClass(top);
    // A core class's shell and handler containers: C\shell, C\shellex, C\shellex\<type>.
    if (IsReservedClass(top)) {
        if (depth == 2) return parts[first + 1] == L"shell" || parts[first + 1] == L"shellex";
        if (depth == 3) return parts[first + 1] == L"shellex";
    }
    return false;
}

// Keys every program writes its own entries into: a value or subkey in them may be a
// program's, the key itself never is. Paths below "SOFTWARE" (either view).
const wchar_t* const kSharedSoftwareKeys[] = {
    L"microsoft\\windows\\currentversion\\run",
    L"microsoft\\windows\\currentversion\\runonce",
    L"microsoft\\windows\\currentversion\\runonceex",
    L"microsoft\\windows\\currentversion\\runservices",
    L"microsoft\\windows\\currentversion\\runservicesonce",
    L"microsoft\\windows\\currentversion\\policies\\explorer\\run",
    L"microsoft\\windows\\currentversion\\app paths",
    L"microsoft\\windows\\currentversion\\uninstall",
    L"microsoft\\windows\\currentversion\\shareddlls",
    L"microsoft\\windows\\currentversion\\control panel\\cpls",
    L"microsoft\\windows\\currentversion\\shell extensions\\approved",
    L"microsoft\\windows\\currentversion\\explorer\\browser helper objects",
    L"microsoft\\windows\\currentversion\\explorer\\shellexecutehooks",
    L"microsoft\\windows\\currentversion\\explorer\\shelliconoverlayidentifiers",
    L"microsoft\\windows\\currentversion\\explorer\\mycomputer\\namespace",
    L"microsoft\\windows\\currentversion\\explorer\\desktop\\namespace",
    L"microsoft\\windows\\currentversion\\explorer\\controlpanel\\namespace",
    L"microsoft\\windows nt\\currentversion\\image file execution options",
    L"microsoft\\internet explorer\\toolbar",
    L"microsoft\\internet explorer\\extensions",
};

// Below a control set's services: the firewall's lists of allowed programs and rules.
const wchar_t* const kSharedServiceKeys[] = {
    L"sharedaccess\\parameters\\firewallpolicy\\firewallrules",
    L"sharedaccess\\parameters\\firewallpolicy\\standardprofile\\authorizedapplications\\list",
    L"sharedaccess\\parameters\\firewallpolicy\\domainprofile\\authorizedapplications\\list",
    L"sharedaccess\\parameters\\firewallpolicy\\publicprofile\\authorizedapplications\\list",
    L"sharedaccess\\parameters\\firewallpolicy\\standardprofile\\globallyopenports\\list",
    L"sharedaccess\\parameters\\firewallpolicy\\domainprofile\\globallyopenports\\list",
};

std::wstring Joined(const std::vector<std::wstring>& parts, std::size_t first) {
    std::wstring text;
    for (std::size_t i = first; i < parts.size(); ++i) {
        if (i > first) text += L'\\';
        text += parts[i];
    }
    return text;
}

bool IsListed(const wchar_t* const* begin, const wchar_t* const* end, const std::wstring& path) {
    return std::any_of(begin, end, [&](const wchar_t* listed) { return path == listed; });
}

// Path below a machine or user hive (HKLM, HKCU, or one user of HKEY_USERS).
bool IsProtectedHivePath(const std::vector<std::wstring>& parts, std::size_t first) {
    const std::size_t depth = parts.size() - first;
    if (depth <= 1) return true;
    const std::wstring& top = parts[first];
    if (top == L"software") {
        std::size_t next = first + 1;
        if (parts[next] == L"wow6432node") {
            if (depth == 2) return true;
            ++next;
        }
        if (parts[next] == L"classes") return IsClassContainer(parts, next + 1);
        const std::size_t rest = parts.size() - next;
        if ((parts[next] == L"microsoft" || parts[next] == L"policies") && rest == 1) return true;
        // SOFTWARE\Clients and its types (StartMenuInternet, Mail …): each type lists many programs.
        if (parts[next] == L"clients") return rest <= 2;
        return IsListed(std::begin(kSharedSoftwareKeys), std::end(kSharedSoftwareKeys), Joined(parts, next));
    }
    // The user's Control Panel settings (Desktop, Cpls, International …) are the system's.
    if (top == L"control panel") return depth <= 2;
    if (top == L"system") {
        // SYSTEM\CurrentControlSet (or ControlSet00n) and its direct containers.
        if (depth == 2) return true;
        if (parts[first + 1] == L"currentcontrolset" || parts[first + 1].rfind(L"controlset", 0) == 0) {
            // Control, Enum, Services …; below Services, the event-log containers.
            if (depth == 3) return true;
            if (parts[first + 2] == L"services" && parts[first + 3] == L"eventlog") return depth <= 5;
            if (parts[first + 2] == L"services")
                return IsListed(std::begin(kSharedServiceKeys), std::end(kSharedServiceKeys), Joined(parts, first + 3));
        }
        return false;
    }
    return false;
}

}  // namespace

bool IsProtectedKey(HKEY root, const std::wstring& keyPath) {
    const auto parts = Components(keyPath);
    if (root == HKEY_CLASSES_ROOT) return IsClassContainer(parts, 0);
    if (root == HKEY_LOCAL_MACHINE || root == HKEY_CURRENT_USER) return IsProtectedHivePath(parts, 0);
    if (root == HKEY_USERS) {
        if (parts.size() <= 1) return true;
        // "S-1-5-21-…_Classes" is that user's classes root.
        const std::wstring& user = parts[0];
        if (user.size() > 8 && user.compare(user.size() - 8, 8, L"_classes") == 0) return IsClassContainer(parts, 1);
        return IsProtectedHivePath(parts, 1);
    }
    if (root == HKEY_CURRENT_CONFIG) return parts.size() <= 1;
    // Any other handle is not one the scan reports under.
    return true;
}

bool IsVolumeRoot(const std::wstring& folderForm) {
    if (folderForm.size() == 3 && folderForm[1] == L':' && folderForm[2] == L'\\') return true;
    if (folderForm.rfind(L"\\\\", 0) == 0) {
        // "\\server\share\": two components after the leading pair.
        const auto server = folderForm.find(L'\\', 2);
        if (server == std::wstring::npos) return true;
        const auto share = folderForm.find(L'\\', server + 1);
        return share == std::wstring::npos || share + 1 >= folderForm.size();
    }
    return false;
}

bool IsPlainAbsolutePath(const std::wstring& path) {
    std::wstring body;
    if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\')
        body = path.substr(3);
    else if (path.rfind(L"\\\\", 0) == 0 && path.rfind(L"\\\\?\\", 0) != 0 && path.rfind(L"\\\\.\\", 0) != 0)
        body = path.substr(2);
    else
        return false;
    if (body.find(L'/') != std::wstring::npos) return false;
    std::size_t start = 0;
    while (start <= body.size()) {
        const auto end = body.find(L'\\', start);
        const std::wstring part = body.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (part == L"." || part == L"..") return false;
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return true;
}

}  // namespace tarvo::leftovers
