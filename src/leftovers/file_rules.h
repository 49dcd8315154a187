#pragma once
// The pieces of the file rules that are worth calling on their own.

#include <string>

namespace tarvo::leftovers {

// What ResolveShortcut gives for a file that is no shortcut or whose target cannot be found;
// it holds no folder, so it never matches one.
inline constexpr wchar_t kUnresolvedLinkText[] = L"unable to resolve link";

// The target path of a shortcut. COM must be initialised on the calling thread.
[[nodiscard]] std::wstring ResolveShortcut(const std::wstring& path);

}  // namespace tarvo::leftovers
