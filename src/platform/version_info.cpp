#include "platform/version_info.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace tarvo::platform {

std::wstring GetFileVersionString(const std::wstring& path, const std::wstring& name) noexcept {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation translation{0x0409, 1200};
    void* found = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &found, &length) &&
        length >= sizeof(Translation))
        memcpy(&translation, found, sizeof translation);

    wchar_t query[64];
    swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\", translation.language, translation.codePage);
    const std::wstring subBlock = query + name;
    if (!::VerQueryValueW(block.data(), subBlock.c_str(), &found, &length) || length == 0) return {};
    std::wstring text(static_cast<const wchar_t*>(found), length);
    const auto zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return text;
}

}  // namespace tarvo::platform

namespace tarvo::platform {

bool VersionResource::Load(const std::wstring& path) noexcept {
    block_.clear();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    try {
        std::vector<BYTE> block(size);
        if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
        block_ = std::move(block);
    } catch (...) {
        return false;
    }
    return true;
}

std::optional<DWORD> VersionResource::FirstTranslation() const noexcept {
    if (block_.empty()) return std::nullopt;
    void* found = nullptr;
    UINT length = 0;
    // VerQueryValueW takes a non-const block but only reads it.
    auto* block = const_cast<BYTE*>(block_.data());
    if (!::VerQueryValueW(block, L"\\VarFileInfo\\Translation", &found, &length) || length < sizeof(DWORD))
        return std::nullopt;
    DWORD translation = 0;
    memcpy(&translation, found, sizeof translation);
    return translation;
}

std::optional<std::wstring> VersionResource::QueryString(const std::wstring& subBlock) const {
    if (block_.empty()) return std::nullopt;
    void* found = nullptr;
    UINT length = 0;
    auto* block = const_cast<BYTE*>(block_.data());
    if (!::VerQueryValueW(block, subBlock.c_str(), &found, &length) || !found) return std::nullopt;
    std::wstring text(static_cast<const wchar_t*>(found), length);
    const auto zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return text;
}

std::optional<VS_FIXEDFILEINFO> VersionResource::FixedInfo() const noexcept {
    if (block_.empty()) return std::nullopt;
    void* found = nullptr;
    UINT length = 0;
    auto* block = const_cast<BYTE*>(block_.data());
    if (!::VerQueryValueW(block, L"\\", &found, &length) || length < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
    VS_FIXEDFILEINFO fixed{};
    memcpy(&fixed, found, sizeof fixed);
    return fixed;
}

}  // namespace tarvo::platform
