#pragma once
// Every registry and file-system call of the program passes through the platform layer,
// which counts it here. Benchmarks read the counts: unlike timings, they do not drift.

// windows.h maps most of these names to their W forms (RegOpenKey to RegOpenKeyW); including
// it first here makes every reader of the counter see the same spelling.
#include <windows.h>

#include <array>
#include <atomic>
#include <cstddef>

namespace tarvo::platform {

enum class ApiCall : std::size_t {
    RegOpenKey,
    RegCreateKey,
    RegEnumKey,
    RegEnumValue,
    RegQueryValue,
    RegQueryInfoKey,
    RegSetValue,
    RegDeleteValue,
    RegDeleteKey,
    FindFirstFile,
    FindNextFile,
    GetFileAttributes,
    CreateFile,
    DeleteFile,
    CreateDirectory,
    RemoveDirectory,
    MoveFile,
    SetFileAttributes,
    Count_
};

class CallCounter {
public:
    static void Add(ApiCall call) noexcept {
        counts_[static_cast<std::size_t>(call)].fetch_add(1, std::memory_order_relaxed);
    }
    [[nodiscard]] static unsigned long long Get(ApiCall call) noexcept {
        return counts_[static_cast<std::size_t>(call)].load(std::memory_order_relaxed);
    }
    [[nodiscard]] static unsigned long long RegistryTotal() noexcept;
    [[nodiscard]] static unsigned long long FileSystemTotal() noexcept;
    [[nodiscard]] static const wchar_t* Name(ApiCall call) noexcept;
    static void Reset() noexcept;

private:
    static inline std::array<std::atomic<unsigned long long>,
                             static_cast<std::size_t>(ApiCall::Count_)> counts_{};
};

}  // namespace tarvo::platform
