#pragma once
// What a leftover scan never offers: the system's own folders, the shell's core classes and
// other vendors' shared registry areas.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::leftovers {

// Where the reserved folders come from. The system is the real source; tests give their own
// drives and folders.
class ReservedFolderSource {
public:
    struct Drive {
        std::wstring root;  // "C:\"
        UINT type = DRIVE_UNKNOWN;
        bool volumeReadable = false;
        bool freeSpaceReadable = false;
    };
    virtual ~ReservedFolderSource() = default;
    [[nodiscard]] virtual std::vector<Drive> Drives() const = 0;
    // The named folders (Windows, system, temporary and the special folders) in list order;
    // a folder the system cannot supply is empty.
    [[nodiscard]] virtual std::vector<std::wstring> NamedFolders() const = 0;
    [[nodiscard]] virtual std::wstring SystemDrive() const = 0;  // "C:"
};

class SystemReservedFolderSource final : public ReservedFolderSource {
public:
    [[nodiscard]] std::vector<Drive> Drives() const override;
    [[nodiscard]] std::vector<std::wstring> NamedFolders() const override;
    [[nodiscard]] std::wstring SystemDrive() const override;
};

// The reserved-folder list of one scanner: lower-case paths with a trailing backslash.
class TReservedFolders {
public:
    TReservedFolders();  // from the system
    explicit TReservedFolders(const ReservedFolderSource& source);

    // Trimmed and lower-cased, a trailing backslash added; an empty path is not reserved.
    [[nodiscard]] bool IsReservedFolder(const std::wstring& path) const;
    // True when the path (same form) is a proper ancestor of a reserved folder: the folder
    // that holds the profiles, or the one above the application data.
    [[nodiscard]] bool IsAboveReservedFolder(const std::wstring& path) const;
    [[nodiscard]] const std::vector<std::wstring>& Folders() const noexcept { return folders_; }

private:
    void Add(const std::wstring& folder);
    std::vector<std::wstring> folders_;
};

// Trimmed, lower case, with a trailing backslash unless empty: the form every folder
// comparison of the scan uses.
[[nodiscard]] std::wstring FolderForm(const std::wstring& path);

// File and shell classes whose own keys are never reported, in their fixed order.
[[nodiscard]] const std::vector<std::wstring>& ReservedClasses();
[[nodiscard]] bool IsReservedClass(const std::wstring& name);

// Subkeys of "\SOFTWARE" that the vendor-key walk never enters.
[[nodiscard]] const std::vector<std::wstring>& SkippedVendorKeys();
[[nodiscard]] bool IsSkippedVendorKey(const std::wstring& name);

}  // namespace tarvo::leftovers
