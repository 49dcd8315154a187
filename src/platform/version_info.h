#pragma once
// Version resources of executable files: one string by name, or the whole resource read once
// and queried by sub-block. Never throws.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tarvo::platform {

// One string of a file's version resource ("ProductName", "FileVersion", …), read from the
// first translation the resource lists (US English / Unicode when it lists none).
// Empty when the file has no resource or no such string.
[[nodiscard]] std::wstring GetFileVersionString(const std::wstring& path, const std::wstring& name) noexcept;

// GetFileVersionInfoSizeW + GetFileVersionInfoW once, then VerQueryValueW as often as asked.
class VersionResource {
public:
    // False, and nothing held, when the file has no version resource or it cannot be read.
    [[nodiscard]] bool Load(const std::wstring& path) noexcept;

    // The first entry of "\VarFileInfo\Translation": low word language, high word code page.
    [[nodiscard]] std::optional<DWORD> FirstTranslation() const noexcept;
    // A string value by its full sub-block ("\StringFileInfo\040904B0\ProductName"), cut at
    // the first zero; nullopt when the resource lacks it.
    [[nodiscard]] std::optional<std::wstring> QueryString(const std::wstring& subBlock) const;
    // The root block "\" as VS_FIXEDFILEINFO; nullopt when it is missing or short.
    [[nodiscard]] std::optional<VS_FIXEDFILEINFO> FixedInfo() const noexcept;

private:
    std::vector<BYTE> block_;
};

}  // namespace tarvo::platform
