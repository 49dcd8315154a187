#include "platform/registry_values.h"

#include "platform/call_counter.h"

namespace tarvo::platform {

namespace {
constexpr DWORD kMaxValueName = 16384;
// Values can grow between two calls; retry a few times, not forever.
constexpr int kMoreDataRetries = 4;
// A huge value once seen should not keep its buffer for every key that follows.
constexpr std::size_t kKeptDataBuffer = 64 * 1024;
}  // namespace

LONG RegistryValueSweep::Sweep(HKEY key, Visitor& visitor) noexcept {
    LONG rc = ERROR_SUCCESS;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 0, type = REG_NONE, size = 0;
        for (int attempt = 0;; ++attempt) {
            CallCounter::Add(ApiCall::RegEnumValue);
            nameLength = static_cast<DWORD>(name_.size());
            size = static_cast<DWORD>(data_.size());
            rc = ::RegEnumValueW(key, index, name_.data(), &nameLength, nullptr, &type, data_.data(), &size);
            if (rc != ERROR_MORE_DATA || attempt == kMoreDataRetries) break;
            // Either buffer may be the short one; the data size is reported, the name's is not.
            if (size > data_.size())
                data_.resize(size);
            else if (name_.size() < kMaxValueName)
                name_.resize(kMaxValueName);
            else
                data_.resize(data_.size() * 2);
        }
        if (rc != ERROR_SUCCESS) break;
        if (size > data_.size()) size = static_cast<DWORD>(data_.size());
        visitor.OnValue(std::wstring_view(name_.data(), nameLength), type, data_.data(), size);
    }
    if (data_.size() > kKeptDataBuffer) {
        data_.resize(4096);
        data_.shrink_to_fit();
    }
    return rc == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : rc;
}

}  // namespace tarvo::platform
