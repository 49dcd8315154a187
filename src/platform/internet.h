#pragma once
// HTTP through WinINet, the little the online services need: GET and POST with a time
// limit and an optional proxy, a download to a file, and dropping a URL from the system's
// internet cache. Never throws; a failure is nullopt or false.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace tarvo::platform {

// The proxy the news check passes: used only when `enabled` is "1"; a port that is not a
// number means 80.
struct ProxySettings {
    std::wstring enabled;
    std::wstring server;
    std::wstring port;
    std::wstring user;
    std::wstring password;
};

struct HttpOptions {
    DWORD timeoutMs = 30000;  // connect, send and each receive
    std::size_t maxBytes = 64u << 20;  // a longer answer is refused, not held
    ProxySettings proxy;
};

struct HttpResponse {
    DWORD status = 0;
    std::string body;
};

// "server:port" for InternetOpen; empty when the proxy is off.
[[nodiscard]] std::wstring ProxyAddress(const ProxySettings& proxy);

// Nullopt on a network or protocol error, or a body shorter than its Content-Length.
[[nodiscard]] std::optional<HttpResponse> HttpGet(const std::wstring& url, const HttpOptions& options);
// POST `body` with the given Content-Type; redirects are followed.
[[nodiscard]] std::optional<HttpResponse> HttpPost(const std::wstring& url, const std::string& body,
                                                   const std::wstring& contentType, const HttpOptions& options);
// GET into `path` (created or replaced). False, and the file removed, unless the server
// answered 200 with a complete body.
[[nodiscard]] bool DownloadToFile(const std::wstring& url, const std::wstring& path, const HttpOptions& options);

// DeleteUrlCacheEntryW; false when the URL was not cached.
bool DeleteUrlCacheEntryOf(const std::wstring& url) noexcept;

}  // namespace tarvo::platform
