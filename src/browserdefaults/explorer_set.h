#pragma once
// Putting a browser's home page, start-up pages and default search engine back to stock
// values. One restorer per browser behind one interface; the window (and the console verb)
// picks one by browser kind, shows what the two getters read and runs the two setters.
//
// Every rewrite of a browser's file goes through a copy beside it that replaces the file
// only once it is complete, and a file we cannot parse is never written: the browser is
// reported as failed instead of being handed a file we half understood.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "addons/addon_types.h"
#include "addons/browser_file.h"
#include "browserdefaults/stock_addresses.h"
#include "platform/sqlite_library.h"

namespace tarvo::browserdefaults {

using addons::BrowserKind;

// Where the restorers look. The running user's values come from OfThisUser; tests point
// every folder and key at scratch copies.
struct RestoreEnvironment {
    std::wstring appDataFolder;       // roaming application data, no trailing "\"
    std::wstring localAppDataFolder;  // no trailing "\"
    std::wstring dataFolder;          // our own data folder, with trailing "\"; "Preferences.bak" goes here
    int windowsVersionCode = 61;
    // Internet Explorer's keys: `userRoot` + `keyPrefix` + "Software\Microsoft\Internet Explorer\..."
    HKEY userRoot = HKEY_CURRENT_USER;
    HKEY machineRoot = HKEY_LOCAL_MACHINE;
    std::wstring keyPrefix;         // below `userRoot`: empty, or a path ending in "\"
    std::wstring machineKeyPrefix;  // below `machineRoot`, likewise
    // Where Opera's uninstall entry is looked for, below both roots (no leading "\").
    std::wstring uninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    // Folder of Firefox's failure traces, with trailing "\"; empty: none are written.
    std::wstring traceFolder;
    const platform::SqliteLibrary* sqlite = nullptr;
    StockAddresses stock;
    // Eight tries 500 ms apart for the browsers' settings files; five 300 ms apart for
    // Firefox's search plug-in.
    addons::WriteRetries retries{8, 500};
    addons::WriteRetries pluginRetries{5, 300};
    // Lets the window repaint after a long write; nothing in the console.
    std::function<void()> pumpMessages;

    [[nodiscard]] static RestoreEnvironment OfThisUser(const platform::SqliteLibrary* sqlite,
                                                       const std::wstring& dataFolder,
                                                       const StockAddresses& stock);
    // The running user's values with our data folder and the stock addresses of Main.ini.
    [[nodiscard]] static RestoreEnvironment ForThisProgram(const platform::SqliteLibrary* sqlite);
};

class TCustomExplorerSet {
public:
    explicit TCustomExplorerSet(const RestoreEnvironment& environment) : env_(environment) {}
    virtual ~TCustomExplorerSet() = default;
    TCustomExplorerSet(const TCustomExplorerSet&) = delete;
    TCustomExplorerSet& operator=(const TCustomExplorerSet&) = delete;

    [[nodiscard]] virtual std::wstring GetHomepage() = 0;
    [[nodiscard]] virtual bool SetHomepage() = 0;
    [[nodiscard]] virtual std::wstring GetSearchEngine() { return {}; }
    [[nodiscard]] virtual bool RestSearchToDefault() = 0;

    [[nodiscard]] const RestoreEnvironment& Environment() const noexcept { return env_; }

protected:
    RestoreEnvironment env_;
};

// A browser file's bytes, tried as often as the environment's retries say; nullopt after the
// last failure.
[[nodiscard]] std::optional<std::string> ReadWithRetries(const RestoreEnvironment& env, const std::wstring& path);

// The kinds that have a restorer, in the order they are shown.
inline constexpr BrowserKind kRestorableBrowsers[] = {BrowserKind::InternetExplorer, BrowserKind::Chrome,
                                                     BrowserKind::Firefox, BrowserKind::Opera};

// The restorer of a browser; null for a kind outside Internet Explorer … Opera.
[[nodiscard]] std::unique_ptr<TCustomExplorerSet> CreateExplorerSet(BrowserKind kind, const RestoreEnvironment& environment);

// 34, 50, 51, 52, 60, 61, 62 for NT 3/4 and 2000 … 8; 0 for anything else.
[[nodiscard]] int WindowsVersionCode(const OSVERSIONINFOEXW& version) noexcept;
[[nodiscard]] int WindowsVersionCode() noexcept;

// Whether two addresses name the same site: trimmed, lower-cased, "http://" and what
// precedes it dropped, cut before the first "/" from the eighth character on.
[[nodiscard]] bool SameSite(const std::wstring& a, const std::wstring& b);

// The trace of a failed Firefox rewrite goes to drive D: only where D: is a fixed drive.
[[nodiscard]] std::wstring DefaultTraceFolder();

// The text as UTF-8 with a byte-order mark, every line end made CR LF.
[[nodiscard]] std::string Utf8WithMarkCrLf(const std::wstring& text);

}  // namespace tarvo::browserdefaults
