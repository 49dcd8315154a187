// Services are taken away through the manager, which then no longer lists them.
#include "platform/services.h"

#include <gtest/gtest.h>

#include "platform/folders.h"

using namespace tarvo::platform;

TEST(Services, StopAndDeleteRemovesTheServiceFromTheManager) {
    const std::wstring name = L"TarvoTestService" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring binary = L"\"" + GetSystemFolder() + L"\\cmd.exe\" /c exit";
    {
        const unique_service_handle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
        ASSERT_TRUE(manager);
        const unique_service_handle created(::CreateServiceW(
            manager.get(), name.c_str(), name.c_str(), SERVICE_QUERY_CONFIG, SERVICE_WIN32_OWN_PROCESS,
            SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(created);
    }
    EXPECT_EQ(ServiceBinaryPath(name), binary);
    EXPECT_EQ(StopAndDeleteService(name, 1000), ServiceRemoval::Deleted);
    EXPECT_EQ(ServiceBinaryPath(name), std::nullopt);
    EXPECT_EQ(StopAndDeleteService(name, 1000), ServiceRemoval::NotFound);
}
