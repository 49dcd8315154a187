#include "platform/shell_link_folder.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "platform/shell_links.h"

namespace tarvo::platform {

namespace {

// Releases the interface it holds when it goes.
template <typename T>
class ComRef {
public:
    ComRef() noexcept = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* operator->() const noexcept { return p_; }
    void** put() noexcept { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

}  // namespace

std::wstring ShellLinkWorkingFolder(const std::wstring& linkPath) noexcept {
    try {
        const ComApartment apartment;
        ComRef<IShellLinkW> link;
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())))
            return {};
        ComRef<IPersistFile> file;
        if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return {};
        if (FAILED(file->Load(linkPath.c_str(), STGM_READ))) return {};
        wchar_t folder[MAX_PATH + 1] = {};
        if (FAILED(link->GetWorkingDirectory(folder, MAX_PATH))) return {};
        return folder;
    } catch (...) {
        return {};
    }
}

bool CreateShellLinkIn(const std::wstring& linkPath, const std::wstring& target,
                       const std::wstring& workingFolder) noexcept {
    const ComApartment apartment;
    ComRef<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())))
        return false;
    if (FAILED(link->SetPath(target.c_str()))) return false;
    if (!workingFolder.empty() && FAILED(link->SetWorkingDirectory(workingFolder.c_str()))) return false;
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

}  // namespace tarvo::platform
