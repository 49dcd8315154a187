// COM classes and file classes: the classes whose servers or verbs lie in the program's
// folder, and everything that hangs off them. Each family is filled in as it lands; until
// then it finds nothing.
#include "leftovers/rule_families.h"

namespace tarvo::leftovers {

void ComClassRule(TRegeditScanClasses&) {}
void AppIdKeysRule(TRegeditScanClasses&) {}
void ReservedClassVerbRule(TRegeditScanClasses&) {}
void ClassesRule(TRegeditScanClasses&, HKEY, TRuleSet&) {}
void InterfaceRule(TRegeditScanClasses&) {}
void ShellExtensionApprovalRule(TRegeditScanClasses&) {}
void RunToolbarRule(TRegeditScanClasses&, const std::wstring&) {}

}  // namespace tarvo::leftovers
