#include "language/language.h"

namespace tarvo::language {

// Placeholder until language files load: the built-in English text is the answer.
std::wstring GetText(const std::wstring&, const std::wstring& defaultText) { return defaultText; }

}  // namespace tarvo::language
