#pragma once
// LatestNews.ini: the news items shown in the main window's footer, which of them was shown
// last, the server version seen at the last fetch, and when that fetch was. Read and written
// key by key through the system's profile functions, from the news worker and from the
// window's switch timer alike.

#include <map>
#include <string>

namespace tarvo::online {

struct NewsItem {
    std::wstring title;
    std::wstring link;
    std::wstring remark;  // the detail line
    std::wstring imageFileName;
};

class TNewsStore {
public:
    // `baseFolder` holds "LatestNews\"; with or without a trailing backslash.
    explicit TNewsStore(const std::wstring& baseFolder);

    [[nodiscard]] const std::wstring& FileName() const noexcept { return fileName_; }
    // Creates "LatestNews\" and, for a new file, starts it as UTF-16 so the profile
    // functions keep every character of the news rather than the system code page's.
    void Prepare() const;

    // Item A, or item B from the "_B" keys.
    [[nodiscard]] NewsItem Item(bool second) const;
    // The next item to show, alternating A and B through "LastShowNews"; an empty B gives A
    // again, though the counter still records B.
    NewsItem Rotate() const;

    [[nodiscard]] std::wstring LastUpdate() const;  // trimmed
    void SetLastUpdate(const std::wstring& text) const;
    [[nodiscard]] std::wstring ServerVersion() const;  // trimmed

    // After a fetch: item A, the copied keys, "shown A" and the server version (empty when
    // it was not newer). Item B's keys are left as they are.
    void StoreFetched(const NewsItem& a, const std::map<std::wstring, std::wstring>& copied,
                      const std::wstring& serverVersion) const;
    // When no news can be shown: item A, the server version and the copied keys emptied.
    void ClearForOffline() const;

    [[nodiscard]] std::wstring Read(const wchar_t* key) const;
    void Write(const wchar_t* key, const std::wstring& value) const;

private:
    std::wstring fileName_;
};

// The keys copied from the news file and stored beside item A without ever being read back.
inline constexpr const wchar_t* kCopiedNewsKeys[] = {L"antivirus", L"linksmall6", L"linkbig6", L"nday"};

}  // namespace tarvo::online
