#pragma once
// The places a scan never offers, whatever a rule or a maker row asks for: root keys, the
// shared software and class containers, drive roots and folders above a program's folder.
// The scanner's reporting primitives ask these before they record anything.

#include <windows.h>

#include <string>

namespace tarvo::leftovers {

// True for a root key itself, any key directly below a machine or user root (SOFTWARE,
// SYSTEM, …), and the shared containers: SOFTWARE\Classes, SOFTWARE\Microsoft, their
// Wow6432Node twins, the class containers (CLSID, TypeLib, Interface, AppID, Installer, the
// core file classes) under the classes root and under each Classes key, and the control-set
// containers of SYSTEM, and the keys every program writes its entries into (both Run keys,
// App Paths, the uninstall root, SharedDLLs, Cpls, the firewall lists, the Clients types …),
// whose values and subkeys may be a program's but never the key itself. The same in both
// registry views and in any letter case.
[[nodiscard]] bool IsProtectedKey(HKEY root, const std::wstring& keyPath);

// "c:\", "\\server\share\" and the like, in FolderForm: a volume's root.
[[nodiscard]] bool IsVolumeRoot(const std::wstring& folderForm);

// A path a finding may name: absolute ("x:\…" or "\\server\share\…") and free of "." and
// ".." components, so that comparing texts says where it is.
[[nodiscard]] bool IsPlainAbsolutePath(const std::wstring& path);

}  // namespace tarvo::leftovers
