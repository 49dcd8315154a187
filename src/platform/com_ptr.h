#pragma once
// The smallest owner a COM interface pointer needs: released when it goes.

namespace tarvo::platform {

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

}  // namespace tarvo::platform
