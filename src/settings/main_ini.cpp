#include "settings/main_ini.h"

#include <climits>

#include "platform/files.h"
#include "settings/app_frame.h"
#include "settings/number_text.h"

namespace tarvo::settings {

namespace {
constexpr wchar_t kMain[] = L"Main";
constexpr wchar_t kSoftware[] = L"Software";
}  // namespace

TMainIni::TMainIni() : path_(SettingsFile()) {}

std::wstring TMainIni::ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& fallback) const {
    if (path_.empty()) return fallback;
    return platform::GetPrivateProfileStringOf(path_, section, key, fallback);
}

bool TMainIni::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
    return !path_.empty() && platform::WritePrivateProfileStringOf(path_, section, key, value);
}

int TMainIni::ReadInteger(const wchar_t* section, const wchar_t* key, int fallback) const {
    const auto value = ParseInteger(ReadString(section, key, {}));
    return value && *value >= INT_MIN && *value <= INT_MAX ? static_cast<int>(*value) : fallback;
}

bool TMainIni::WriteInteger(const wchar_t* section, const wchar_t* key, int value) const {
    return WriteString(section, key, std::to_wstring(value));
}

bool TMainIni::ReadBool(const wchar_t* section, const wchar_t* key, bool fallback) const {
    const auto value = ParseInteger(ReadString(section, key, {}));
    return value ? *value != 0 : fallback;
}

bool TMainIni::WriteBool(const wchar_t* section, const wchar_t* key, bool value) const {
    return WriteString(section, key, value ? L"1" : L"0");
}

std::wstring TMainIni::Language() const { return ReadString(kMain, L"Language", L"English"); }
bool TMainIni::SetLanguage(const std::wstring& name) const { return WriteString(kMain, L"Language", name); }
int TMainIni::WindowState() const { return ReadInteger(kMain, L"WindowState", 0); }
bool TMainIni::SetWindowState(int state) const { return WriteInteger(kMain, L"WindowState", state); }
int TMainIni::Width() const { return ReadInteger(kMain, L"Width", 870); }
bool TMainIni::SetWidth(int width) const { return WriteInteger(kMain, L"Width", width); }
int TMainIni::Height() const { return ReadInteger(kMain, L"Height", 570); }
bool TMainIni::SetHeight(int height) const { return WriteInteger(kMain, L"Height", height); }
int TMainIni::Left(int workAreaWidth, int windowWidth) const {
    return ReadInteger(kMain, L"Left", CentredOffset(workAreaWidth, windowWidth));
}
bool TMainIni::SetLeft(int left) const { return WriteInteger(kMain, L"Left", left); }
int TMainIni::Top(int workAreaHeight, int windowHeight) const {
    return ReadInteger(kMain, L"Top", CentredOffset(workAreaHeight, windowHeight));
}
bool TMainIni::SetTop(int top) const { return WriteInteger(kMain, L"Top", top); }
int TMainIni::ListViewViewStyle() const { return ReadInteger(kMain, L"ListView_ViewStyle", 0); }
bool TMainIni::SetListViewViewStyle(int style) const { return WriteInteger(kMain, L"ListView_ViewStyle", style); }
bool TMainIni::BatchUninstall() const { return ReadBool(kMain, L"Batch Uninstall", false); }
bool TMainIni::SetBatchUninstall(bool on) const { return WriteBool(kMain, L"Batch Uninstall", on); }
bool TMainIni::CreateRestore() const { return ReadBool(kMain, L"CreateRestore", false); }
bool TMainIni::SetCreateRestore(bool on) const { return WriteBool(kMain, L"CreateRestore", on); }
bool TMainIni::QuietBatch() const { return ReadBool(kMain, L"QuietBatch", false); }
bool TMainIni::SetQuietBatch(bool on) const { return WriteBool(kMain, L"QuietBatch", on); }
bool TMainIni::FileShredder() const { return ReadBool(kMain, L"File Shredder", false); }
bool TMainIni::SetFileShredder(bool on) const { return WriteBool(kMain, L"File Shredder", on); }
std::wstring TMainIni::UpdateDataBaseDate() const { return ReadString(kMain, L"UpdateDataBaseDate", {}); }
bool TMainIni::SetUpdateDataBaseDate(const std::wstring& text) const {
    return WriteString(kMain, L"UpdateDataBaseDate", text);
}

int TMainIni::ColumnIndex() const { return ReadInteger(kSoftware, L"ColumnIndex", 0); }
bool TMainIni::SetColumnIndex(int column) const { return WriteInteger(kSoftware, L"ColumnIndex", column); }
std::optional<int> TMainIni::SortState() const {
    const int state = ReadInteger(kSoftware, L"SortState", 1);
    if (state < 0 || state > 2) return std::nullopt;
    return state;
}
bool TMainIni::SetSortState(int state) const { return WriteInteger(kSoftware, L"SortState", state); }

}  // namespace tarvo::settings
