#include "online/news_store.h"

#include "common/text.h"
#include "platform/files.h"
#include "settings/safe_ini_file.h"

namespace tarvo::online {

namespace {
constexpr const wchar_t* kNews = L"LatestNews";
constexpr const wchar_t* kTimes = L"checkupdatestime";
}  // namespace

TNewsStore::TNewsStore(const std::wstring& baseFolder) {
    std::wstring folder = baseFolder;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    fileName_ = folder + L"LatestNews\\LatestNews.ini";
}

void TNewsStore::Prepare() const {
    (void)settings::EnsureFolderExists(fileName_.substr(0, fileName_.find_last_of(L'\\')));
    if (!platform::FileExists(fileName_)) (void)platform::WriteFileBytes(fileName_, std::string("\xFF\xFE", 2));
}

std::wstring TNewsStore::Read(const wchar_t* key) const {
    return settings::TIniFile(fileName_).ReadString(kNews, key, L"");
}

void TNewsStore::Write(const wchar_t* key, const std::wstring& value) const {
    (void)settings::TIniFile(fileName_).WriteString(kNews, key, value);
}

NewsItem TNewsStore::Item(bool second) const {
    const std::wstring suffix = second ? L"_B" : L"";
    const settings::TIniFile ini(fileName_);
    return {ini.ReadString(kNews, L"title" + suffix, L""), ini.ReadString(kNews, L"link" + suffix, L""),
            ini.ReadString(kNews, L"remark" + suffix, L""), ini.ReadString(kNews, L"imagefilename" + suffix, L"")};
}

NewsItem TNewsStore::Rotate() const {
    if (Read(L"LastShowNews") != L"1") {
        Write(L"LastShowNews", L"1");
        return Item(false);
    }
    Write(L"LastShowNews", L"2");
    NewsItem b = Item(true);
    return b.title.empty() ? Item(false) : b;
}

std::wstring TNewsStore::LastUpdate() const {
    return common::Trim(settings::TIniFile(fileName_).ReadString(kTimes, L"Lastupdate", L""));
}

void TNewsStore::SetLastUpdate(const std::wstring& text) const {
    (void)settings::TIniFile(fileName_).WriteString(kTimes, L"Lastupdate", text);
}

std::wstring TNewsStore::ServerVersion() const { return common::Trim(Read(L"ServerVersion")); }

void TNewsStore::StoreFetched(const NewsItem& a, const std::map<std::wstring, std::wstring>& copied,
                              const std::wstring& serverVersion) const {
    Write(L"title", a.title);
    Write(L"link", a.link);
    Write(L"remark", a.remark);
    Write(L"imagefilename", L"");
    for (const wchar_t* key : kCopiedNewsKeys) {
        const auto found = copied.find(key);
        Write(key, found == copied.end() ? L"" : found->second);
    }
    Write(L"LastShowNews", L"1");
    Write(L"ServerVersion", serverVersion);
}

void TNewsStore::ClearForOffline() const {
    for (const wchar_t* key : {L"title", L"link", L"remark", L"imagefilename", L"ServerVersion", L"antivirus",
                               L"linksmall6", L"linkbig6", L"nday"})
        Write(key, L"");
}

}  // namespace tarvo::online
