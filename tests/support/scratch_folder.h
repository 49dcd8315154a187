#pragma once
// A folder of its own for one test, under the temporary folder with a unique name, removed
// with its whole content when the test ends. Never follows a junction while removing.

#include <windows.h>

#include <string>

namespace tarvo::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::wstring& path() const noexcept { return path_; }
    [[nodiscard]] std::wstring PathOf(const std::wstring& relative) const { return path_ + L"\\" + relative; }

    // Creates the folder and every missing parent below the scratch folder.
    std::wstring MakeFolder(const std::wstring& relative) const;
    // Writes a file (parents created), content as raw bytes.
    std::wstring MakeFile(const std::wstring& relative, const std::string& content = {},
                          DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;

private:
    std::wstring path_;
};

// Removes a folder tree; links inside it are removed as links, never followed.
void RemoveTree(const std::wstring& path);

}  // namespace tarvo::test
