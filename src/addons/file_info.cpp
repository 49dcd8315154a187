#include "addons/file_info.h"

#include <cstdio>

#include "addons/addon_text.h"
#include "platform/authenticode.h"
#include "platform/files.h"
#include "platform/version_info.h"

namespace tarvo::addons {

namespace {
constexpr int kVersionTexts = 11;
const wchar_t* const kUnknown = L"Unknown";

bool Usable(const std::wstring& text) { return !text.empty() && !SameText(text, kUnknown); }
}  // namespace

bool ReadVersionInfo(const std::wstring& file, const std::wstring& extra, TFileInfo& info) {
    platform::VersionResource resource;
    if (!resource.Load(file)) return false;
    const auto translation = resource.FirstTranslation();
    if (!translation) return false;
    wchar_t prefix[40];
    swprintf(prefix, 40, L"\\StringFileInfo\\%04X%04X\\", static_cast<unsigned>(LOWORD(*translation)),
             static_cast<unsigned>(HIWORD(*translation)));
    const std::wstring block = prefix;
    const auto read = [&](const wchar_t* name) { return resource.QueryString(block + name).value_or(L""); };
    TFileInfo result;
    result.CompanyName = read(L"CompanyName");
    result.FileDescription = read(L"FileDescription");
    result.FileVersion = read(L"FileVersion");
    result.InternalName = read(L"InternalName");
    result.LegalCopyright = read(L"LegalCopyright");
    result.LegalTrademarks = read(L"LegalTrademarks");
    result.OriginalFileName = read(L"OriginalFileName");
    result.ProductName = read(L"ProductName");
    result.ProductVersion = read(L"ProductVersion");
    result.Comments = read(L"Comments");
    if (const auto fixed = resource.FixedInfo()) result.Fixed = *fixed;
    if (!extra.empty()) result.Extra = read(extra.c_str());
    info = std::move(result);
    return true;
}

bool FileVersionStrings(const std::wstring& file, std::vector<std::wstring>& list) {
    TFileInfo info;
    if (!ReadVersionInfo(file, L"WOW Version", info)) {
        list.insert(list.end(), kVersionTexts, kUnknown);
        return false;
    }
    for (const std::wstring* text :
         {&info.Comments, &info.CompanyName, &info.FileDescription, &info.FileVersion, &info.InternalName,
          &info.LegalCopyright, &info.LegalTrademarks, &info.OriginalFileName, &info.ProductName,
          &info.ProductVersion, &info.Extra})
        list.push_back(Trim(*text));
    return true;
}

std::wstring ChooseVersion(const std::wstring& productVersion, const std::wstring& fileVersion,
                           bool preferProductVersion) {
    if (Usable(productVersion)) return preferProductVersion ? productVersion : fileVersion;
    return Usable(fileVersion) ? fileVersion : std::wstring();
}

TMozilPlugFileInfo FileInfo(const std::wstring& file, bool preferProductVersion) {
    TMozilPlugFileInfo info;
    info.FilePath = file;
    if (!platform::FileExists(file)) return info;
    std::vector<std::wstring> texts;
    FileVersionStrings(file, texts);
    const auto usable = [&](std::size_t index) { return Usable(texts[index]) ? texts[index] : std::wstring(); };
    info.ProductName = usable(8);
    info.FileDescription = usable(2);
    info.CompanyName = usable(1);
    info.FileVersion = ChooseVersion(texts[9], texts[3], preferProductVersion);
    info.Signer = SignerName(file);
    return info;
}

std::wstring SignerName(const std::wstring& file) { return platform::AuthenticodeSignerName(file); }

}  // namespace tarvo::addons
