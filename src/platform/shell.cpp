#include "platform/shell.h"

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/com_ptr.h"

namespace tarvo::platform {

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
    T* get() const noexcept { return p_; }
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
                       const std::wstring& workingFolder, const std::wstring& arguments) noexcept {
    const ComApartment apartment;
    ComRef<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put())))
        return false;
    if (FAILED(link->SetPath(target.c_str()))) return false;
    if (!workingFolder.empty() && FAILED(link->SetWorkingDirectory(workingFolder.c_str()))) return false;
    if (!arguments.empty() && FAILED(link->SetArguments(arguments.c_str()))) return false;
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

bool ShellOpen(const std::wstring& file, const std::wstring& parameters) noexcept {
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", file.c_str(),
                                             parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                                             SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

HICON LargeIconForExtension(const std::wstring& extension) noexcept {
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(extension.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                          SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_LARGEICON))
        return nullptr;
    return info.hIcon;
}

unique_hicon GetFileIconOf(const std::wstring& path, bool small, DWORD attributes) noexcept {
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICON | SHGFI_USEFILEATTRIBUTES;
    if (small) flags |= SHGFI_SMALLICON;
    if (!::SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info, flags)) return {};
    return unique_hicon(info.hIcon);
}

IconPair ExtractIconPairOf(const std::wstring& file, int index) noexcept {
    HICON large = nullptr;
    HICON small = nullptr;
    const UINT extracted = ::ExtractIconExW(file.c_str(), index, &large, &small, 1);
    IconPair pair{unique_hicon(large), unique_hicon(small)};
    // A zero count with a handle set does not happen on Windows, but the handles are ours to
    // free either way.
    if (extracted == 0 || extracted == UINT_MAX) return {};
    return pair;
}

std::wstring TakeFirstDroppedFile(HDROP drop) noexcept {
    if (!drop) return {};
    wchar_t path[MAX_PATH + 1] = {};
    const UINT length = ::DragQueryFileW(drop, 0, path, MAX_PATH + 1);
    ::DragFinish(drop);
    return length == 0 ? std::wstring() : std::wstring(path);
}

void AcceptDroppedFiles(HWND window, bool accept) noexcept { ::DragAcceptFiles(window, accept ? TRUE : FALSE); }

std::optional<std::wstring> AskSaveFileName(HWND owner, const std::wstring& defaultName,
                                            const std::wstring& defaultExtension, const std::wstring& filter) {
    std::wstring filterBuffer = filter;
    for (wchar_t& c : filterBuffer)
        if (c == L'|') c = L'\0';
    filterBuffer.append(2, L'\0');
    std::vector<wchar_t> file(32768, L'\0');
    defaultName.copy(file.data(), std::min(defaultName.size(), file.size() - 1));

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterBuffer.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetSaveFileNameW(&dialog)) return std::nullopt;
    return std::wstring(file.data());
}

std::optional<std::wstring> AskOpenFileName(HWND owner, const std::wstring& initialFolder,
                                            const std::wstring& filter, DWORD filterIndex) {
    std::wstring filterBuffer = filter;
    for (wchar_t& c : filterBuffer)
        if (c == L'|') c = L'\0';
    filterBuffer.append(2, L'\0');
    std::vector<wchar_t> file(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterBuffer.c_str();
    dialog.nFilterIndex = filterIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    // No dereferencing: a chosen shortcut comes back as the shortcut, which we resolve ourselves.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NODEREFERENCELINKS;
    if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::wstring(file.data());
}

bool ParsesAsClassId(const std::wstring& text) noexcept {
    CLSID id{};
    // The parameter is not const in older headers; the call does not write through it.
    return SUCCEEDED(::CLSIDFromString(const_cast<wchar_t*>(text.c_str()), &id));
}

std::wstring NewGuidText(bool braces) noexcept {
    GUID guid{};
    if (FAILED(::CoCreateGuid(&guid))) return {};
    wchar_t text[40]{};
    if (::StringFromGUID2(guid, text, 40) <= 0) return {};
    std::wstring result(text);
    if (!braces && result.size() >= 2) result = result.substr(1, result.size() - 2);
    return result;
}

bool ShellDeleteFolderTree(const std::wstring& folder) noexcept {
    try {
        // The shell's "from" list ends with two zeros; a trailing backslash makes it fail.
        std::wstring from = folder;
        while (from.size() > 3 && from.back() == L'\\') from.pop_back();
        from.push_back(L'\0');
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        // No error box either: the callers run unattended and report failure themselves.
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
    } catch (...) {
        return false;
    }
}

namespace {
// A BSTR that frees itself; the automation calls below take and give them.
class OwnedBstr {
public:
    explicit OwnedBstr(const std::wstring& text) : text_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    OwnedBstr() noexcept = default;
    ~OwnedBstr() { ::SysFreeString(text_); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    BSTR get() const noexcept { return text_; }
    BSTR* put() noexcept { return &text_; }

private:
    BSTR text_ = nullptr;
};
}  // namespace

ShellVerbResult InvokeFolderItemVerb(const std::wstring& folder, const std::wstring& file,
                                     const std::wstring& verbName) noexcept {
    try {
        const ComApartment apartment;
        ComPtr<IShellDispatch> shell;
        if (FAILED(::CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER, IID_IShellDispatch, shell.put())))
            return ShellVerbResult::NoShellObject;
        OwnedBstr folderText(folder);
        VARIANT folderName;
        ::VariantInit(&folderName);
        folderName.vt = VT_BSTR;
        folderName.bstrVal = folderText.get();
        ComPtr<Folder> shellFolder;
        if (FAILED(shell->NameSpace(folderName, reinterpret_cast<Folder**>(shellFolder.put()))) || !shellFolder.get())
            return ShellVerbResult::ItemNotFound;
        OwnedBstr fileText(file);
        ComPtr<FolderItem> item;
        if (FAILED(shellFolder->ParseName(fileText.get(), reinterpret_cast<FolderItem**>(item.put()))) || !item.get())
            return ShellVerbResult::ItemNotFound;
        ComPtr<FolderItemVerbs> verbs;
        if (FAILED(item->Verbs(reinterpret_cast<FolderItemVerbs**>(verbs.put()))) || !verbs.get())
            return ShellVerbResult::VerbNotOffered;
        long count = 0;
        if (FAILED(verbs->get_Count(&count))) return ShellVerbResult::VerbNotOffered;
        for (long index = 0; index < count; ++index) {
            VARIANT at;
            ::VariantInit(&at);
            at.vt = VT_I4;
            at.lVal = index;
            ComPtr<FolderItemVerb> verb;
            if (FAILED(verbs->Item(at, reinterpret_cast<FolderItemVerb**>(verb.put()))) || !verb.get()) continue;
            OwnedBstr name;
            if (FAILED(verb->get_Name(name.put())) || !name.get()) continue;
            if (::lstrcmpiW(name.get(), verbName.c_str()) != 0) continue;
            return SUCCEEDED(verb->DoIt()) ? ShellVerbResult::Done : ShellVerbResult::VerbNotOffered;
        }
        return ShellVerbResult::VerbNotOffered;
    } catch (...) {
        return ShellVerbResult::NoShellObject;
    }
}

}  // namespace tarvo::platform
