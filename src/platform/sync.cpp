#include "platform/sync.h"

namespace tarvo::platform {

NamedMutex CreateNamedMutex(const std::wstring& name, bool initialOwner) noexcept {
    NamedMutex mutex;
    mutex.handle.reset(::CreateMutexW(nullptr, initialOwner ? TRUE : FALSE, name.c_str()));
    mutex.alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

}  // namespace tarvo::platform
