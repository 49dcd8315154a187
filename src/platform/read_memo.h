#pragma once
// Many read-only passes over the same registry trees and folders (the leftover scan of a
// batch of programs) read each key and each folder listing from the system once. While a
// ReadMemoScope lives on a thread, the registry keys that thread opens for reading and the
// folders it lists are answered from what the first read gave; every call that reaches the
// system is still counted, one answered from memory is not.
//
// What changes during the scope is not seen, so a scope belongs only around work that
// writes nothing. Keys opened for writing, created or deleted always go to the system.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tarvo::platform {

class ReadMemo;

class ReadMemoScope {
public:
    ReadMemoScope();
    ~ReadMemoScope();
    ReadMemoScope(const ReadMemoScope&) = delete;
    ReadMemoScope& operator=(const ReadMemoScope&) = delete;

private:
    std::unique_ptr<ReadMemo> memo_;  // none when an outer scope on this thread holds one
};

// One entry of a remembered folder listing: what FindFirstFile/FindNextFile gave.
// Kept without the fixed name buffers, which would make a large tree's listings ten times bigger.
struct ListedFile {
    DWORD attributes = 0;
    FILETIME creation{}, lastAccess{}, lastWrite{};
    DWORD sizeHigh = 0, sizeLow = 0, reserved0 = 0, reserved1 = 0;
    std::wstring name, alternateName;

    [[nodiscard]] static ListedFile From(const WIN32_FIND_DATAW& data);
    void CopyTo(WIN32_FIND_DATAW& data) const noexcept;
};

// The registry and file layers ask the active memo first. A key opened through the memo is
// represented by a token in place of a handle; the token turns into a real handle only when
// a caller needs one (RealKeyOf), so no token ever reaches the system.
class ReadMemo {
public:
    ReadMemo();
    ~ReadMemo();
    ReadMemo(const ReadMemo&) = delete;
    ReadMemo& operator=(const ReadMemo&) = delete;

    // The memo of the calling thread; nullptr outside any scope.
    [[nodiscard]] static ReadMemo* Active() noexcept;

    // True when the memo answered the open: `rc` is its result and, on success, `token`
    // stands for the key. False for opens it does not take (writing access, an unknown parent).
    [[nodiscard]] bool Open(HKEY parent, const std::wstring& path, REGSAM access, LONG& rc, HKEY& token) noexcept;
    // A holder of the token is done with it; the real handle closes with the last one.
    void Release(HKEY token) noexcept;
    [[nodiscard]] bool IsToken(HKEY key) const noexcept;

    [[nodiscard]] LONG EnumKey(HKEY token, DWORD index, std::wstring& name) noexcept;
    [[nodiscard]] LONG EnumValue(HKEY token, DWORD index, std::wstring& name, RegistryValue* value) noexcept;
    [[nodiscard]] std::optional<RegistryValue> QueryValue(HKEY token, const std::wstring& name) noexcept;
    [[nodiscard]] bool HasValue(HKEY token, const std::wstring& name) noexcept;
    // Every value in registry order, then the error that ended the enumeration.
    [[nodiscard]] LONG Values(HKEY token, const std::vector<std::pair<std::wstring, RegistryValue>>*& values) noexcept;

    // A real handle for the token, opened on demand (null when that fails); any other key as it is.
    [[nodiscard]] HKEY RealKey(HKEY key) noexcept;

    // The listing a FindFirstFile on the pattern gives; nullptr (with the system's error set)
    // when the first find fails.
    [[nodiscard]] const std::vector<ListedFile>* Listing(const std::wstring& pattern) noexcept;

private:
    struct KeyNode;
    struct Listed;
    [[nodiscard]] KeyNode* NodeOf(HKEY token) const noexcept;
    [[nodiscard]] bool FillSubKeys(KeyNode& node) noexcept;
    [[nodiscard]] bool FillValues(KeyNode& node) noexcept;

    struct State;
    std::unique_ptr<State> state_;
};

// The real handle behind a key that may be a memo token; any other key unchanged.
[[nodiscard]] HKEY RealKeyOf(HKEY key) noexcept;

}  // namespace tarvo::platform
