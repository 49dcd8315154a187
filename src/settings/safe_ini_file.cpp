#include "settings/safe_ini_file.h"

#include "common/paths.h"
#include "platform/files.h"
#include "settings/text_file.h"

namespace tarvo::settings {

namespace {

constexpr int kFolderAttempts = 101;

bool CreateFolderTree(const std::wstring& folder) {
    const std::wstring path = common::WithoutTrailingBackslashes(folder, common::TrailingCut::KeepVolumeRoot);
    if (path.empty() || platform::FolderExists(path)) return !path.empty();
    const std::wstring parent = common::ParentFolder(path);
    if (!parent.empty() && parent != path + L"\\" && !CreateFolderTree(parent)) return false;
    return platform::CreateDirectoryOf(path) || platform::FolderExists(path);
}

// The folder exists and the file, when there is one, is not read-only.
void MakeWritable(const std::wstring& fileName) {
    (void)EnsureFolderExists(common::ParentFolder(fileName));
    const DWORD attributes = platform::GetFileAttributesOf(fileName);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        (void)platform::SetFileAttributesOf(fileName, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

}  // namespace

bool EnsureFolderExists(const std::wstring& folder) {
    if (folder.empty()) return false;
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt)
        if (CreateFolderTree(folder)) return true;
    return false;
}

TSafeIniFile::TSafeIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {
    if (fileName_.empty()) return;
    if (platform::FileExists(fileName_)) (void)LoadFromFile(fileName_);
    UpdateFile();
}

TSafeIniFile::~TSafeIniFile() { UpdateFile(); }

void TSafeIniFile::LoadFromStream(const std::string& bytes) { LoadFromText(DecodeText(bytes)); }

void TSafeIniFile::UpdateFile() const {
    if (fileName_.empty()) return;
    MakeWritable(fileName_);
    (void)SaveToFile(fileName_);
}

TIniFile::TIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {
    if (!fileName_.empty()) MakeWritable(fileName_);
}

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& fallback) const {
    return platform::GetPrivateProfileStringOf(fileName_, section, key, fallback);
}

bool TIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) const {
    return platform::WritePrivateProfileStringOf(fileName_, section, key, value);
}

bool TIniFile::EraseSection(const std::wstring& section) const {
    return platform::EraseProfileSectionOf(fileName_, section);
}

}  // namespace tarvo::settings
