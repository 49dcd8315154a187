#pragma once
// Version texts of the news check: comparing dotted versions, and reading ours out of the
// server's version list.

#include <string>

namespace tarvo::online {

// Dotted comparison from the left over the shorter list of parts; the first differing part
// decides. A part that is not a number counts as 0 and makes the answer lean to the side
// whose part was a number, unless a later part decides. Equal parts: true when `a` has
// more. An empty `a` is never greater than a non-empty `b`; an empty `b` is exceeded by
// anything.
[[nodiscard]] bool VersionGreater(const std::wstring& a, const std::wstring& b);

// Whether the stored server version still says something we lack: true when it is empty
// or names a version we are not ahead of, false when it is exactly ours.
[[nodiscard]] bool ServerNewerOrEmpty(const std::wstring& stored, const std::wstring& own);

// The version list holds "<code><separator><version>|..." per product. The text after the
// first occurrence of `code` and one separator, up to the next "|", trimmed. A list without
// the code is read as if the code stood at its start.
[[nodiscard]] std::wstring ServerVersionFromList(const std::wstring& list, const std::wstring& code);

}  // namespace tarvo::online
