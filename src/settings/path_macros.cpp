#include "settings/path_macros.h"

namespace tarvo::settings {

// Placeholder until the macro table lands: nothing is expanded.
void ExpandPathMacros(std::wstring&, std::wstring& allUsersPath) { allUsersPath.clear(); }

std::wstring ExpandPathMacros(const std::wstring& path) {
    std::wstring expanded = path, allUsers;
    ExpandPathMacros(expanded, allUsers);
    return expanded;
}

}  // namespace tarvo::settings
