#include "platform/security.h"

#include <gtest/gtest.h>

#include <memory>

#include "shell/process_entry.h"

using namespace tarvo::platform;

namespace {
struct SidFree {
    void operator()(void* sid) const noexcept { ::FreeSid(sid); }
};

// The process token with BUILTIN\Administrators turned into a deny-only entry, as a filtered
// administrator or a restricted caller holds it.
unique_handle TokenWithoutAdministrators() {
    unique_handle process;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY,
                            process.put()))
        return {};
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID raw = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                    0, 0, 0, &raw))
        return {};
    const std::unique_ptr<void, SidFree> administrators(raw);
    SID_AND_ATTRIBUTES disable{administrators.get(), 0};
    unique_handle restricted;
    if (!::CreateRestrictedToken(process.get(), 0, 1, &disable, 0, nullptr, 0, nullptr, restricted.put()))
        return {};
    return restricted;
}
}  // namespace

TEST(AdministratorCheck, DecidedByTheTokensGroups) {
    // Wine's user is an administrator, as the program expects to be run.
    const unique_handle caller = OpenCallerToken();
    ASSERT_TRUE(caller);
    EXPECT_TRUE(TokenListsAdministrators(caller.get()));
    EXPECT_TRUE(tarvo::shell::CallerIsAdministrator());

    const unique_handle restricted = TokenWithoutAdministrators();
    ASSERT_TRUE(restricted) << "CreateRestrictedToken failed: " << ::GetLastError();
    EXPECT_FALSE(TokenListsAdministrators(restricted.get()));

    // A token that cannot be read refuses.
    EXPECT_FALSE(TokenListsAdministrators(nullptr));
}

TEST(AdministratorCheck, TheThreadsOwnTokenWinsWhileItImpersonates) {
    const unique_handle restricted = TokenWithoutAdministrators();
    ASSERT_TRUE(restricted);
    unique_handle impersonation;
    ASSERT_TRUE(::DuplicateToken(restricted.get(), SecurityImpersonation, impersonation.put()));
    ASSERT_TRUE(::SetThreadToken(nullptr, impersonation.get()));
    const bool whileImpersonating = TokenListsAdministrators(OpenCallerToken().get());
    ASSERT_TRUE(::RevertToSelf());
    EXPECT_FALSE(whileImpersonating);
    EXPECT_TRUE(TokenListsAdministrators(OpenCallerToken().get()));
}
