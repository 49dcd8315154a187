#include "browserdefaults/explorer_set.h"

#include <shlobj.h>

#include "browserdefaults/chrome_explorer_set.h"
#include "browserdefaults/chromium_family_explorer_set.h"
#include "browserdefaults/firefox_explorer_set.h"
#include "browserdefaults/ie_explorer_set.h"
#include "browserdefaults/opera_explorer_set.h"
#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/app_frame.h"
#include "settings/system_info.h"

namespace tarvo::browserdefaults {

RestoreEnvironment RestoreEnvironment::OfThisUser(const platform::SqliteLibrary* sqlite,
                                                  const std::wstring& dataFolder, const StockAddresses& stock) {
    RestoreEnvironment env;
    env.sqlite = sqlite;
    env.appDataFolder = platform::GetSpecialFolderPath(CSIDL_APPDATA);
    if (env.appDataFolder.empty()) env.appDataFolder = common::Trim(platform::GetEnvironmentString(L"APPDATA"));
    if (settings::WindowsName() == L"Windows XP")
        env.localAppDataFolder = platform::GetEnvironmentString(L"HOMEDRIVE") +
                                 platform::GetEnvironmentString(L"HOMEPATH") + L"\\Local Settings\\Application Data";
    else
        env.localAppDataFolder = platform::GetEnvironmentString(L"LOCALAPPDATA");
    env.dataFolder = dataFolder;
    env.windowsVersionCode = WindowsVersionCode();
    env.traceFolder = DefaultTraceFolder();
    env.stock = stock;
    return env;
}

RestoreEnvironment RestoreEnvironment::ForThisProgram(const platform::SqliteLibrary* sqlite) {
    const std::wstring data = settings::DataFolder();
    return OfThisUser(sqlite, data.empty() ? std::wstring() : common::WithTrailingBackslash(data),
                      ReadStockAddresses(settings::TMainIni()));
}

std::optional<std::string> ReadWithRetries(const RestoreEnvironment& env, const std::wstring& path) {
    for (int attempt = 0; attempt < env.retries.attempts; ++attempt) {
        if (attempt > 0 && env.retries.sleep) env.retries.sleep(env.retries.waitMilliseconds);
        if (auto bytes = platform::ReadFileBytes(path)) return bytes;
    }
    return std::nullopt;
}

std::unique_ptr<TCustomExplorerSet> CreateExplorerSet(BrowserKind kind, const RestoreEnvironment& environment) {
    switch (kind) {
        case BrowserKind::InternetExplorer: return std::make_unique<TIEExplorerSet>(environment);
        case BrowserKind::Chrome: {
            // Today's Chrome names its profiles in "Local State", and a hijacker writes into
            // every one of them: all are restored, as for the rest of the family. An older
            // Chrome has its one "Default" profile.
            auto family = std::make_unique<TChromiumFamilyExplorerSet>(environment, kind);
            if (family->HasLocalState()) return family;
            return std::make_unique<TChromeExplorerSet>(environment);
        }
        case BrowserKind::Firefox: return std::make_unique<TFireFoxExplorerSet>(environment);
        case BrowserKind::Opera: return std::make_unique<TOperaExplorerSet>(environment);
        case BrowserKind::Edge:
        case BrowserKind::Brave:
        case BrowserKind::Vivaldi:
        case BrowserKind::Chromium: return std::make_unique<TChromiumFamilyExplorerSet>(environment, kind);
        default: return nullptr;
    }
}

int WindowsVersionCode(const OSVERSIONINFOEXW& version) noexcept {
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) return 0;
    if (version.dwMajorVersion == 3 || version.dwMajorVersion == 4) return 34;
    if (version.dwMajorVersion == 5 && version.dwMinorVersion <= 2) return 50 + static_cast<int>(version.dwMinorVersion);
    if (version.dwMajorVersion == 6 && version.dwMinorVersion <= 2) return 60 + static_cast<int>(version.dwMinorVersion);
    return 0;
}

int WindowsVersionCode() noexcept {
    const auto version = platform::GetVersionExOf();
    return version ? WindowsVersionCode(*version) : 0;
}

namespace {
// The host of an address. Any scheme is dropped, not only "http://": cutting an
// "https://" address at a fixed position would leave "https:/" and make every secure
// address the same site.
std::wstring SiteOf(const std::wstring& address) {
    std::wstring text = platform::LowerCase(common::Trim(address));
    const std::size_t scheme = text.find(L"://");
    if (scheme != std::wstring::npos) text.erase(0, scheme + 3);
    const std::size_t slash = text.find(L'/');
    if (slash != std::wstring::npos) text.erase(slash);
    return text;
}
}  // namespace

bool SameSite(const std::wstring& a, const std::wstring& b) { return SiteOf(a) == SiteOf(b); }

std::wstring DefaultTraceFolder() {
    return platform::GetDriveTypeOf(L"D:\\") == DRIVE_FIXED ? L"D:\\" : std::wstring();
}

std::string Utf8WithMarkCrLf(const std::wstring& text) {
    std::wstring crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            crlf += L"\r\n";
        } else if (text[i] == L'\n') {
            crlf += L"\r\n";
        } else {
            crlf += text[i];
        }
    }
    return "\xEF\xBB\xBF" + platform::Utf8FromWide(crlf);
}

}  // namespace tarvo::browserdefaults
