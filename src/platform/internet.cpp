#include "platform/internet.h"

#include <wininet.h>

#include <functional>

#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/unique_handle.h"

namespace tarvo::platform {

namespace {

namespace traits_local {
struct internet_handle {
    using type = HINTERNET;
    static HINTERNET invalid() noexcept { return nullptr; }
    static void close(HINTERNET h) noexcept { ::InternetCloseHandle(h); }
};
}  // namespace traits_local
using unique_hinternet = unique_any<traits_local::internet_handle>;

constexpr const wchar_t* kAgent = L"Tarvo Uninstaller";

void SetTimeouts(HINTERNET handle, DWORD timeout) noexcept {
    for (const DWORD option : {static_cast<DWORD>(INTERNET_OPTION_CONNECT_TIMEOUT),
                               static_cast<DWORD>(INTERNET_OPTION_SEND_TIMEOUT),
                               static_cast<DWORD>(INTERNET_OPTION_RECEIVE_TIMEOUT)})
        ::InternetSetOptionW(handle, option, &timeout, sizeof timeout);
}

// Sends one request and hands each piece of the body to `sink`; the status code, or
// nullopt on any failure, a body that ended early, or a sink that refused.
std::optional<DWORD> Transfer(const std::wstring& verb, const std::wstring& url, const std::string& body,
                              const std::wstring& headers, const HttpOptions& options,
                              const std::function<bool(const char*, std::size_t)>& sink) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {};
    wchar_t path[2048] = {};
    wchar_t extra[2048] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = static_cast<DWORD>(std::size(host));
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = static_cast<DWORD>(std::size(path));
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = static_cast<DWORD>(std::size(extra));
    if (!::InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return std::nullopt;
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && !secure) return std::nullopt;

    const std::wstring proxy = ProxyAddress(options.proxy);
    unique_hinternet session(::InternetOpenW(kAgent, proxy.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
                                             proxy.empty() ? nullptr : proxy.c_str(), nullptr, 0));
    if (!session) return std::nullopt;
    SetTimeouts(session.get(), options.timeoutMs);
    unique_hinternet connection(::InternetConnectW(session.get(), host, parts.nPort, nullptr, nullptr,
                                                   INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return std::nullopt;
    const std::wstring object = std::wstring(path) + extra;
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_KEEP_CONNECTION;
    if (secure) flags |= INTERNET_FLAG_SECURE;
    unique_hinternet request(::HttpOpenRequestW(connection.get(), verb.c_str(), object.c_str(), nullptr, nullptr,
                                                nullptr, flags, 0));
    if (!request) return std::nullopt;
    SetTimeouts(request.get(), options.timeoutMs);
    if (!proxy.empty() && !options.proxy.user.empty()) {
        ::InternetSetOptionW(request.get(), INTERNET_OPTION_PROXY_USERNAME,
                             const_cast<wchar_t*>(options.proxy.user.c_str()), static_cast<DWORD>(options.proxy.user.size()));
        ::InternetSetOptionW(request.get(), INTERNET_OPTION_PROXY_PASSWORD,
                             const_cast<wchar_t*>(options.proxy.password.c_str()),
                             static_cast<DWORD>(options.proxy.password.size()));
    }
    if (!::HttpSendRequestW(request.get(), headers.empty() ? nullptr : headers.c_str(),
                            static_cast<DWORD>(headers.size()), const_cast<char*>(body.data()),
                            static_cast<DWORD>(body.size())))
        return std::nullopt;

    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return std::nullopt;
    DWORD declared = 0;
    size = sizeof declared;
    const bool hasLength = ::HttpQueryInfoW(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                            &declared, &size, nullptr) != FALSE;
    if (hasLength && declared > options.maxBytes) return std::nullopt;

    char buffer[16384];
    std::size_t total = 0;
    for (;;) {
        DWORD got = 0;
        if (!::InternetReadFile(request.get(), buffer, sizeof buffer, &got)) return std::nullopt;
        if (got == 0) break;
        total += got;
        if (total > options.maxBytes || !sink(buffer, got)) return std::nullopt;
    }
    // A connection that closed before the declared length is a failed transfer, not a file.
    if (hasLength && total != declared) return std::nullopt;
    return status;
}

}  // namespace

std::wstring ProxyAddress(const ProxySettings& proxy) {
    if (proxy.enabled != L"1" || proxy.server.empty()) return {};
    bool numeric = !proxy.port.empty() && proxy.port.size() <= 5;
    for (const wchar_t c : proxy.port) numeric = numeric && c >= L'0' && c <= L'9';
    return proxy.server + L":" + (numeric ? proxy.port : L"80");
}

std::optional<HttpResponse> HttpGet(const std::wstring& url, const HttpOptions& options) {
    HttpResponse response;
    const auto status = Transfer(L"GET", url, {}, {}, options, [&](const char* data, std::size_t size) {
        response.body.append(data, size);
        return true;
    });
    if (!status) return std::nullopt;
    response.status = *status;
    return response;
}

std::optional<HttpResponse> HttpPost(const std::wstring& url, const std::string& body,
                                     const std::wstring& contentType, const HttpOptions& options) {
    HttpResponse response;
    const std::wstring headers = L"Content-Type: " + contentType + L"\r\n";
    const auto status = Transfer(L"POST", url, body, headers, options, [&](const char* data, std::size_t size) {
        response.body.append(data, size);
        return true;
    });
    if (!status) return std::nullopt;
    response.status = *status;
    return response;
}

bool DownloadToFile(const std::wstring& url, const std::wstring& path, const HttpOptions& options) {
    bool complete = false;
    {
        FileStream file;
        if (!file.Create(path)) return false;
        const auto status = Transfer(L"GET", url, {}, {}, options,
                                     [&](const char* data, std::size_t size) { return file.Write(data, size); });
        complete = status && *status == 200;
    }
    if (!complete) (void)DeleteFileOf(path);
    return complete;
}

bool DeleteUrlCacheEntryOf(const std::wstring& url) noexcept {
    return ::DeleteUrlCacheEntryW(url.c_str()) != FALSE;
}

}  // namespace tarvo::platform
