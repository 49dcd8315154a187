#pragma once
// Main.ini, the program's settings: a Windows profile file read and written through the
// system's profile functions, so every write reaches the disk at once. A missing file,
// section or key, or a number that is not one, gives the key's default.

#include <optional>
#include <string>

namespace tarvo::settings {

class TMainIni {
public:
    // The settings file of the data folder.
    TMainIni();
    explicit TMainIni(std::wstring path) : path_(std::move(path)) {}

    [[nodiscard]] const std::wstring& Path() const noexcept { return path_; }

    // [Main]
    [[nodiscard]] std::wstring Language() const;  // "English"
    bool SetLanguage(const std::wstring& name) const;
    [[nodiscard]] int WindowState() const;  // 1 maximised, 0 normal
    bool SetWindowState(int state) const;
    [[nodiscard]] int Width() const;   // 870
    bool SetWidth(int width) const;
    [[nodiscard]] int Height() const;  // 570
    bool SetHeight(int height) const;
    // Centred in the work area by default.
    [[nodiscard]] int Left(int workAreaWidth, int windowWidth) const;
    bool SetLeft(int left) const;
    [[nodiscard]] int Top(int workAreaHeight, int windowHeight) const;
    bool SetTop(int top) const;
    [[nodiscard]] int ListViewViewStyle() const;  // 0 details, 1 large icons
    bool SetListViewViewStyle(int style) const;
    [[nodiscard]] bool BatchUninstall() const;
    bool SetBatchUninstall(bool on) const;
    [[nodiscard]] bool CreateRestore() const;
    bool SetCreateRestore(bool on) const;
    // A batch in the uninstall dialog runs each uninstaller without its own questions where
    // that is known to work. Off unless the user ticked it.
    [[nodiscard]] bool QuietBatch() const;
    bool SetQuietBatch(bool on) const;
    [[nodiscard]] bool FileShredder() const;
    bool SetFileShredder(bool on) const;
    // "mm/dd/yyyy hh:mm:ss"; empty when never downloaded.
    [[nodiscard]] std::wstring UpdateDataBaseDate() const;
    bool SetUpdateDataBaseDate(const std::wstring& text) const;

    // [Software]
    [[nodiscard]] int ColumnIndex() const;
    bool SetColumnIndex(int column) const;
    // 0, 1 or 2 (default 1); nullopt for any other stored number, which must leave the
    // list's sort state as it is.
    [[nodiscard]] std::optional<int> SortState() const;
    bool SetSortState(int state) const;

    // The raw typed accessors the named ones are built on.
    [[nodiscard]] std::wstring ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& fallback) const;
    bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;
    [[nodiscard]] int ReadInteger(const wchar_t* section, const wchar_t* key, int fallback) const;
    bool WriteInteger(const wchar_t* section, const wchar_t* key, int value) const;
    // True for any integer other than 0; written as "1" / "0".
    [[nodiscard]] bool ReadBool(const wchar_t* section, const wchar_t* key, bool fallback) const;
    bool WriteBool(const wchar_t* section, const wchar_t* key, bool value) const;

private:
    std::wstring path_;
};

// The default Left/Top: (work area - window) / 2, truncated toward zero.
[[nodiscard]] constexpr int CentredOffset(int workArea, int window) noexcept { return (workArea - window) / 2; }

}  // namespace tarvo::settings
