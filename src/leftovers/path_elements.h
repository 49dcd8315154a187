#pragma once
// The elements of PATH in the user's and the machine's environment that name a program's
// folder. Installers append their folder to PATH and rarely take it out again; removing the
// whole value would take every other program's element with it, so an element is a finding
// of its own and its removal edits that element out and nothing else.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tarvo::leftovers {

class TRegeditScanClasses;

inline constexpr wchar_t kUserEnvironmentKey[] = L"Environment";
inline constexpr wchar_t kMachineEnvironmentKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
inline constexpr wchar_t kPathValueName[] = L"Path";

// One element of one PATH value: the key it lives in and its text as written (environment
// references not expanded), and the same text expanded.
struct TPathElement {
    HKEY root = nullptr;
    std::wstring keyPath;
    std::wstring element;
    std::wstring expanded;
};

// Every non-empty element of both PATH values, user first, each value's elements in order,
// for which `wanted` (given the element) answers true; all of them without `wanted`.
[[nodiscard]] std::vector<TPathElement> ReadPathElements(
    const std::function<bool(const TPathElement&)>& wanted = {});

// The PATH value of either environment key: the one value a removal must never delete whole.
[[nodiscard]] bool IsPathValue(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);

// What removing an element did.
enum class PathEdit { Removed, NotThere, Failed };

// Takes every element written exactly as `element` (ignoring case, blanks and quotes around
// it) out of root\keyPath's PATH; the value keeps its type and every other element its text
// and place; a value left with no element at all was the program's alone and goes. Tells
// running programs when the value changed.
[[nodiscard]] PathEdit RemovePathElement(HKEY root, const std::wstring& keyPath, const std::wstring& element);

// The scan's rule: every element that names the program's folder or a folder inside it, as
// a value finding of PATH whose data is the element alone.
void PathElementRule(TRegeditScanClasses& scan);

}  // namespace tarvo::leftovers
