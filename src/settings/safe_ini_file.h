#pragma once
// The two INI classes of the data archive's unit. TSafeIniFile is an in-memory document
// that writes itself back whole as UTF-16LE, also from a stream handed over in memory (an
// archive entry); TIniFile is a profile-function INI file for files other programs own,
// written key by key. Both make the file writable before they write: a folder that does
// not exist yet, or a file marked read-only, never loses a write.

#include <string>

#include "settings/ext_ini_file.h"

namespace tarvo::settings {

// Creates `folder` and every missing folder above it, trying up to 101 times, as a folder
// just removed by another process or a scanner holding it can refuse the first attempts.
bool EnsureFolderExists(const std::wstring& folder);

class TSafeIniFile : public TExtIniFile {
public:
    // Memory only: nothing is read or written.
    TSafeIniFile() = default;
    // Loads the file when it exists (errors ignored) and writes it back at once.
    explicit TSafeIniFile(std::wstring fileName);
    ~TSafeIniFile();
    TSafeIniFile(const TSafeIniFile&) = delete;
    TSafeIniFile& operator=(const TSafeIniFile&) = delete;

    // The document from the bytes of a stream (byte-order mark, else the system code page).
    void LoadFromStream(const std::string& bytes);
    // Writes the whole document when a file name is set; errors are ignored.
    void UpdateFile() const;

    [[nodiscard]] const std::wstring& FileName() const noexcept { return fileName_; }

private:
    std::wstring fileName_;
};

class TIniFile {
public:
    // Makes the file's folder exist and the file writable.
    explicit TIniFile(std::wstring fileName);

    [[nodiscard]] std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                          const std::wstring& fallback) const;
    bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;
    // The whole section, through WritePrivateProfileString with neither key nor value.
    bool EraseSection(const std::wstring& section) const;

    [[nodiscard]] const std::wstring& FileName() const noexcept { return fileName_; }

private:
    std::wstring fileName_;
};

}  // namespace tarvo::settings
