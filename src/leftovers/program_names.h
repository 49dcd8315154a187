#pragma once
// The names a program's own settings key goes by. Installers write
// "Software\<Publisher>\<Program>" with the publisher's short name and the program's name
// without its version or bitness, so the display texts are trimmed the way they usually are.

#include <string>
#include <vector>

namespace tarvo::leftovers {

// The publisher without a company-form suffix: how two entries tell they share a publisher.
[[nodiscard]] std::wstring PublisherWithoutCompanyForm(const std::wstring& publisher);

// The publisher as given, without a company-form suffix ("Acme Software, Inc." →
// "Acme Software"), and its first word ("Acme"); distinct, in that order, case kept.
[[nodiscard]] std::vector<std::wstring> PublisherKeyNames(const std::wstring& publisher);

// The display name as given, and without trailing versions and bitness marks
// ("Foo Editor 2.1 (x64)" → "Foo Editor"); distinct, case kept.
[[nodiscard]] std::vector<std::wstring> ProgramKeyNames(const std::wstring& displayName);

}  // namespace tarvo::leftovers
