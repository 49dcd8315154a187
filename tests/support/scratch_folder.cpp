#include "support/scratch_folder.h"

#include <stdexcept>

#include "platform/files.h"
#include "platform/folders.h"
#include "support/scratch_registry.h"

namespace tarvo::test {

using namespace tarvo::platform;

ScratchFolder::ScratchFolder() : path_(GetTempFolder() + L"\\" + UniqueName()) {
    if (!CreateDirectoryOf(path_)) throw std::runtime_error("cannot create the scratch folder");
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::wstring ScratchFolder::MakeFolder(const std::wstring& relative) const {
    std::wstring path = path_;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t end = relative.find(L'\\', start);
        path += L"\\" + relative.substr(start, end - start);
        if (!FolderExists(path) && !CreateDirectoryOf(path))
            throw std::runtime_error("cannot create a folder below the scratch folder");
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return path;
}

std::wstring ScratchFolder::MakeFile(const std::wstring& relative, const std::string& content,
                                     DWORD attributes) const {
    const auto slash = relative.rfind(L'\\');
    if (slash != std::wstring::npos) MakeFolder(relative.substr(0, slash));
    const std::wstring path = PathOf(relative);
    auto file = CreateFileOf(path, GENERIC_WRITE, 0, CREATE_ALWAYS, attributes);
    if (!file) throw std::runtime_error("cannot create a file below the scratch folder");
    DWORD written = 0;
    if (!content.empty() &&
        !::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr))
        throw std::runtime_error("cannot write a file below the scratch folder");
    return path;
}

void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsReparsePoint(attributes)) {
        FileFinder finder;
        WIN32_FIND_DATAW data;
        for (bool more = finder.FindFirst(path + L"\\*", data); more; more = finder.FindNext(data))
            if (!IsDotName(data.cFileName)) RemoveTree(path + L"\\" + data.cFileName);
        finder.Close();
    }
    ::SetFileAttributesW(ExtendedLengthPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        (void)RemoveDirectoryOf(path);
    else
        (void)DeleteFileOf(path);
}

}  // namespace tarvo::test
