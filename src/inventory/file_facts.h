#pragma once
// What one entry's analysis has learnt about the file system, so that no path is asked about
// twice. Folder, date and icon source are worked out by separate rules that look at the same
// few paths (the main file, its folder); under Wine each question costs a round of path
// resolution, and a pass asks them for hundreds of entries. Lives for one entry: files change,
// and a later pass must see them as they are then.

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "inventory/folder_listing.h"
#include "platform/files.h"

namespace tarvo::inventory {

class TFileFacts {
public:
    // INVALID_FILE_ATTRIBUTES when the path does not exist.
    [[nodiscard]] DWORD Attributes(const std::wstring& path);
    [[nodiscard]] std::optional<platform::FileTimes> Times(const std::wstring& path);
    [[nodiscard]] bool FileExists(const std::wstring& path);    // a file, not a folder
    [[nodiscard]] bool FolderExists(const std::wstring& path);  // a folder, not a file

    // A folder's names as a walk saw them, for questions that would list the folder again.
    void RememberListing(TFolderListing listing) { listing_ = std::move(listing); }
    [[nodiscard]] const TFolderListing* ListingOf(const std::wstring& folder) const {
        return listing_.Lists(folder) ? &listing_ : nullptr;
    }

private:
    std::optional<WIN32_FILE_ATTRIBUTE_DATA> Data(const std::wstring& path);

    // A folder is the same question with or without its trailing backslash.
    std::map<std::wstring, std::optional<WIN32_FILE_ATTRIBUTE_DATA>> answers_;
    TFolderListing listing_;
};

}  // namespace tarvo::inventory
