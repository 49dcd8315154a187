#pragma once
// What an add-on's file says about itself: its version resource, the version a cleaner
// shows, and who signed it.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::addons {

// The version-resource record of a file.
struct TFileInfo {
    std::wstring CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright, LegalTrademarks,
        OriginalFileName, ProductName, ProductVersion, Comments;
    VS_FIXEDFILEINFO Fixed{};  // the resource's root block, copied unchanged
    std::wstring Extra;        // the extra value asked for by name
};

// What a cleaner shows for an add-on's file.
struct TMozilPlugFileInfo {
    std::wstring ProductName, FileDescription, FileVersion, CompanyName, Signer, FilePath;
};

// Reads the strings of the resource's first translation; `extra` names one more value
// (none when empty). False when the file has no readable resource or lists no translation.
[[nodiscard]] bool ReadVersionInfo(const std::wstring& file, const std::wstring& extra, TFileInfo& info);

// Appends eleven trimmed texts: comments, company, description, file version, internal
// name, copyright, trademarks, original file name, product name, product version and the
// "WOW Version" value; "Unknown" eleven times (and false) when there is no resource.
bool FileVersionStrings(const std::wstring& file, std::vector<std::wstring>& list);

// The version a cleaner shows: with a product version the caller's preference picks product
// or file version (the file version even when it is empty); without one the file version.
[[nodiscard]] std::wstring ChooseVersion(const std::wstring& productVersion, const std::wstring& fileVersion,
                                         bool preferProductVersion);

// The version strings, the chosen version and the signer of a file; all empty but the path
// when the file does not exist.
[[nodiscard]] TMozilPlugFileInfo FileInfo(const std::wstring& file, bool preferProductVersion);

// The display name of the certificate that signed the file; empty when unsigned.
[[nodiscard]] std::wstring SignerName(const std::wstring& file);

}  // namespace tarvo::addons
