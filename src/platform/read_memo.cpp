#include "platform/read_memo.h"

#include <cwchar>
#include <map>
#include <unordered_map>

#include "platform/call_counter.h"
#include "platform/files.h"

namespace tarvo::platform {

namespace {

thread_local ReadMemo* t_active = nullptr;

constexpr DWORD kMaxKeyName = 256;

// Rights that only read: what KEY_READ grants, and the view flags.
constexpr REGSAM kReadOnlyAccess = KEY_READ | KEY_WOW64_64KEY | KEY_WOW64_32KEY;

bool IsPredefinedRoot(HKEY key) noexcept {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS ||
           key == HKEY_CURRENT_CONFIG;
}

}  // namespace

ListedFile ListedFile::From(const WIN32_FIND_DATAW& data) {
    ListedFile file;
    file.attributes = data.dwFileAttributes;
    file.creation = data.ftCreationTime;
    file.lastAccess = data.ftLastAccessTime;
    file.lastWrite = data.ftLastWriteTime;
    file.sizeHigh = data.nFileSizeHigh;
    file.sizeLow = data.nFileSizeLow;
    file.reserved0 = data.dwReserved0;
    file.reserved1 = data.dwReserved1;
    file.name.assign(data.cFileName, wcsnlen(data.cFileName, MAX_PATH));
    file.alternateName.assign(data.cAlternateFileName, wcsnlen(data.cAlternateFileName, 14));
    return file;
}

void ListedFile::CopyTo(WIN32_FIND_DATAW& data) const noexcept {
    data = WIN32_FIND_DATAW{};
    data.dwFileAttributes = attributes;
    data.ftCreationTime = creation;
    data.ftLastAccessTime = lastAccess;
    data.ftLastWriteTime = lastWrite;
    data.nFileSizeHigh = sizeHigh;
    data.nFileSizeLow = sizeLow;
    data.dwReserved0 = reserved0;
    data.dwReserved1 = reserved1;
    wmemcpy(data.cFileName, name.c_str(), name.size() + 1);
    wmemcpy(data.cAlternateFileName, alternateName.c_str(), alternateName.size() + 1);
}

// A key as the first open found it. Its address is the token that stands for it.
struct ReadMemo::KeyNode {
    HKEY parent = nullptr;  // a predefined root or another node's token
    std::wstring path;
    REGSAM access = 0;
    unique_hkey real;  // open while a holder needs it; reopened on demand after
    int holders = 0;

    std::optional<std::vector<std::wstring>> subKeys;
    LONG subKeysEnd = ERROR_NO_MORE_ITEMS;
    std::optional<std::vector<std::pair<std::wstring, RegistryValue>>> values;
    LONG valuesEnd = ERROR_NO_MORE_ITEMS;
    std::map<std::wstring, std::optional<RegistryValue>> queried;
    std::map<std::wstring, bool> present;
};

struct ReadMemo::Listed {
    bool found = false;
    DWORD error = ERROR_SUCCESS;
    std::vector<ListedFile> files;
};

struct ReadMemo::State {
    // An open is known by its parent, access and exact path: a second spelling of the same
    // key is read again rather than guessed equal.
    std::unordered_map<std::wstring, std::unique_ptr<KeyNode>> opened;
    std::unordered_map<std::wstring, LONG> failed;
    std::unordered_map<HKEY, KeyNode*> tokens;
    std::unordered_map<std::wstring, Listed> listings;
};

ReadMemo::ReadMemo() : state_(std::make_unique<State>()) {}
ReadMemo::~ReadMemo() = default;

ReadMemo* ReadMemo::Active() noexcept { return t_active; }

ReadMemoScope::ReadMemoScope() {
    if (t_active) return;
    memo_ = std::make_unique<ReadMemo>();
    t_active = memo_.get();
}

ReadMemoScope::~ReadMemoScope() {
    if (memo_) t_active = nullptr;
}

ReadMemo::KeyNode* ReadMemo::NodeOf(HKEY token) const noexcept {
    const auto found = state_->tokens.find(token);
    return found == state_->tokens.end() ? nullptr : found->second;
}

bool ReadMemo::IsToken(HKEY key) const noexcept { return NodeOf(key) != nullptr; }

bool ReadMemo::Open(HKEY parent, const std::wstring& path, REGSAM access, LONG& rc, HKEY& token) noexcept {
    if ((access & ~kReadOnlyAccess) != 0) return false;
    if (!IsPredefinedRoot(parent) && !IsToken(parent)) return false;
    try {
        const std::wstring id = std::to_wstring(reinterpret_cast<std::uintptr_t>(parent)) + L'|' +
                                std::to_wstring(access) + L'|' + path;
        if (const auto failed = state_->failed.find(id); failed != state_->failed.end()) {
            rc = failed->second;
            return true;
        }
        auto& slot = state_->opened[id];
        if (!slot) {
            auto node = std::make_unique<KeyNode>();
            CallCounter::Add(ApiCall::RegOpenKey);
            HKEY opened = nullptr;
            const LONG result = ::RegOpenKeyExW(RealKey(parent), path.c_str(), 0, access, &opened);
            if (result != ERROR_SUCCESS) {
                state_->opened.erase(id);
                state_->failed.emplace(id, result);
                rc = result;
                return true;
            }
            node->parent = parent;
            node->path = path;
            node->access = access;
            node->real.reset(opened);
            state_->tokens.emplace(reinterpret_cast<HKEY>(node.get()), node.get());
            slot = std::move(node);
        }
        ++slot->holders;
        token = reinterpret_cast<HKEY>(slot.get());
        rc = ERROR_SUCCESS;
        return true;
    } catch (...) {
        rc = ERROR_OUTOFMEMORY;
        return true;
    }
}

void ReadMemo::Release(HKEY token) noexcept {
    KeyNode* node = NodeOf(token);
    if (node && --node->holders <= 0) {
        node->holders = 0;
        node->real.reset();
    }
}

HKEY ReadMemo::RealKey(HKEY key) noexcept {
    KeyNode* node = NodeOf(key);
    if (!node) return key;
    if (!node->real) {
        CallCounter::Add(ApiCall::RegOpenKey);
        (void)::RegOpenKeyExW(RealKey(node->parent), node->path.c_str(), 0, node->access, node->real.put());
    }
    return node->real.get();
}

bool ReadMemo::FillSubKeys(KeyNode& node) noexcept {
    if (node.subKeys) return true;
    try {
        const HKEY real = RealKey(reinterpret_cast<HKEY>(&node));
        std::vector<std::wstring> names;
        wchar_t buffer[kMaxKeyName];
        for (DWORD index = 0;; ++index) {
            CallCounter::Add(ApiCall::RegEnumKey);
            DWORD length = kMaxKeyName;
            const LONG rc = ::RegEnumKeyExW(real, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
            if (rc != ERROR_SUCCESS) {
                node.subKeysEnd = rc;
                break;
            }
            names.emplace_back(buffer, length);
        }
        node.subKeys = std::move(names);
        return true;
    } catch (...) {
        return false;
    }
}

bool ReadMemo::FillValues(KeyNode& node) noexcept {
    if (node.values) return true;
    try {
        const BorrowedKey real(RealKey(reinterpret_cast<HKEY>(&node)));
        std::vector<std::pair<std::wstring, RegistryValue>> values;
        for (DWORD index = 0;; ++index) {
            std::wstring name;
            RegistryValue value;
            const LONG rc = real.EnumValue(index, name, &value);
            if (rc != ERROR_SUCCESS) {
                node.valuesEnd = rc;
                break;
            }
            values.emplace_back(std::move(name), std::move(value));
        }
        node.values = std::move(values);
        return true;
    } catch (...) {
        return false;
    }
}

LONG ReadMemo::EnumKey(HKEY token, DWORD index, std::wstring& name) noexcept {
    KeyNode* node = NodeOf(token);
    if (!node) return ERROR_INVALID_HANDLE;
    if (!FillSubKeys(*node)) return ERROR_OUTOFMEMORY;
    if (index >= node->subKeys->size()) return node->subKeysEnd;
    try {
        name = (*node->subKeys)[index];
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
    return ERROR_SUCCESS;
}

LONG ReadMemo::EnumValue(HKEY token, DWORD index, std::wstring& name, RegistryValue* value) noexcept {
    const std::vector<std::pair<std::wstring, RegistryValue>>* values = nullptr;
    const LONG end = Values(token, values);
    if (!values) return end;
    if (index >= values->size()) return end;
    try {
        const auto& [valueName, valueData] = (*values)[index];
        name = valueName;
        if (value) *value = valueData;
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
    return ERROR_SUCCESS;
}

LONG ReadMemo::Values(HKEY token, const std::vector<std::pair<std::wstring, RegistryValue>>*& values) noexcept {
    values = nullptr;
    KeyNode* node = NodeOf(token);
    if (!node) return ERROR_INVALID_HANDLE;
    if (!FillValues(*node)) return ERROR_OUTOFMEMORY;
    values = &*node->values;
    return node->valuesEnd;
}

std::optional<RegistryValue> ReadMemo::QueryValue(HKEY token, const std::wstring& name) noexcept {
    KeyNode* node = NodeOf(token);
    if (!node) return std::nullopt;
    try {
        const auto known = node->queried.find(name);
        if (known != node->queried.end()) return known->second;
        auto value = BorrowedKey(RealKey(token)).QueryValue(name);
        node->queried.emplace(name, value);
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

bool ReadMemo::HasValue(HKEY token, const std::wstring& name) noexcept {
    KeyNode* node = NodeOf(token);
    if (!node) return false;
    try {
        const auto known = node->present.find(name);
        if (known != node->present.end()) return known->second;
        const bool present = BorrowedKey(RealKey(token)).HasValue(name);
        node->present.emplace(name, present);
        return present;
    } catch (...) {
        return false;
    }
}

const std::vector<ListedFile>* ReadMemo::Listing(const std::wstring& pattern) noexcept {
    try {
        auto [at, fresh] = state_->listings.try_emplace(pattern);
        Listed& listed = at->second;
        if (fresh) {
            // Listed through the finder outside the memo, so the calls are counted there.
            t_active = nullptr;
            FileFinder finder;
            WIN32_FIND_DATAW data{};
            listed.found = finder.FindFirst(pattern, data);
            if (!listed.found) listed.error = ::GetLastError();
            for (bool more = listed.found; more; more = finder.FindNext(data))
                listed.files.push_back(ListedFile::From(data));
            t_active = this;
        }
        if (!listed.found) {
            ::SetLastError(listed.error);
            return nullptr;
        }
        return &listed.files;
    } catch (...) {
        t_active = this;
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

HKEY RealKeyOf(HKEY key) noexcept {
    ReadMemo* memo = ReadMemo::Active();
    return memo ? memo->RealKey(key) : key;
}

}  // namespace tarvo::platform
