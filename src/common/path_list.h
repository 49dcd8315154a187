#pragma once
// PATH-like list values ("C:\a;%ProgramFiles%\b;;C:\c"): split into their elements and edited
// one element at a time. An edit keeps every other element's text, order and the separators
// between them exactly as they were, so that removing one program's element never rewrites
// what the user or another program put there.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::common {

// The elements in order, as written (blanks and quotes kept; empty elements kept, so that
// joining them with ';' gives the value back).
[[nodiscard]] std::vector<std::wstring> SplitPathList(std::wstring_view value);

// The value without every element for which `drop` answers true. The separator after a
// dropped element goes with it (before it, for the last element), so nothing else moves.
[[nodiscard]] std::wstring RemovePathElements(std::wstring_view value,
                                              const std::function<bool(std::wstring_view element)>& drop);

// True when the element (environment references already expanded by the caller) names the
// folder or a folder inside it: case-insensitive, surrounding blanks and quotes and trailing
// backslashes ignored. "C:\Prog" is not inside "C:\Program".
[[nodiscard]] bool PathElementWithin(std::wstring_view element, std::wstring_view folder);

}  // namespace tarvo::common
