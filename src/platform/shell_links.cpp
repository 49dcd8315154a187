#include "platform/shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

namespace tarvo::platform {

namespace {

// The smallest owner a COM interface pointer needs: released when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    void** put() noexcept {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    void reset() noexcept {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

}  // namespace

ComApartment::ComApartment() noexcept {
    initialized_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

ComApartment::~ComApartment() {
    if (initialized_) ::CoUninitialize();
}

std::wstring ResolveShellLinkTarget(const std::wstring& linkPath) noexcept {
    try {
        ComPtr<IShellLinkW> link;
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())))
            return {};
        ComPtr<IPersistFile> file;
        if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return {};
        if (FAILED(file->Load(linkPath.c_str(), STGM_READ))) return {};
        wchar_t target[MAX_PATH + 1] = {};
        if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return {};
        return target;
    } catch (...) {
        return {};
    }
}

std::optional<std::wstring> ResolveShellLink(const std::wstring& linkPath) noexcept {
    try {
        ComPtr<IShellLinkW> link;
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())))
            return std::nullopt;
        ComPtr<IPersistFile> file;
        if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return std::nullopt;
        if (FAILED(file->Load(linkPath.c_str(), 0))) return std::nullopt;
        if (FAILED(link->Resolve(::GetActiveWindow(), SLR_NO_UI))) return std::nullopt;
        wchar_t target[MAX_PATH + 1] = {};
        if (link->GetPath(target, MAX_PATH, nullptr, SLGP_UNCPRIORITY) != S_OK) return std::nullopt;
        return std::wstring(target);
    } catch (...) {
        return std::nullopt;
    }
}

bool CreateShellLink(const std::wstring& linkPath, const std::wstring& target,
                     const std::wstring& arguments) noexcept {
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())))
        return false;
    if (FAILED(link->SetPath(target.c_str()))) return false;
    if (!arguments.empty() && FAILED(link->SetArguments(arguments.c_str()))) return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

}  // namespace tarvo::platform
