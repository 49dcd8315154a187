#pragma once
// What a finding looked like when it was scanned, so that the removal touches it only while it
// still is that: a folder that has turned into a junction, a file that has become a folder, a
// path that now runs through a new link, or a key that has become a registry link since the
// scan is left alone.

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "leftovers/scan_records.h"

namespace tarvo::leftovers {

struct TScannedShape {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;  // files and folders
    std::wstring firstLink;                      // the outermost link on the way to it, or empty
};

// Seams: tests fake the file system's attributes and the registry's links.
struct TGuardProbes {
    std::function<DWORD(const std::wstring& path)> attributesOf;
    std::function<bool(const platform::RegistryLocation& key)> isRegistryLink;
};

class TRemovalGuard {
public:
    explicit TRemovalGuard(TGuardProbes probes = {});

    // Notes the item's present shape; the removal compares against it later.
    void Remember(const TMyTreeData& item);
    // Empty when the item may be deleted; otherwise why not (for the log).
    [[nodiscard]] std::wstring Refusal(const TMyTreeData& item);

private:
    [[nodiscard]] TScannedShape FileShape(const std::wstring& path);
    [[nodiscard]] std::wstring RegistryLink(const TMyTreeData& item);
    [[nodiscard]] static std::wstring Id(const TMyTreeData& item);

    TGuardProbes probes_;
    std::map<std::wstring, TScannedShape> shapes_;
};

}  // namespace tarvo::leftovers
