#pragma once
// The leftover benchmark's machine. Each part writes its trees into the registry or onto the
// disk, measures the rules that read them against a plain walk of the same trees in the same
// run, and leaves its trees in place for the full scan at the end; RemoveAll tidies up.

#include <windows.h>

#include <string>

#include "inventory/soft_info.h"

namespace tarvo::bench {

// The one program the benchmark scans: its uninstall entry and install folder exist.
struct ScannedProgram {
    std::wstring DisplayName;
    std::wstring Publisher;
    std::wstring InstallFolder;     // no trailing backslash
    std::wstring UninstallKeyPath;  // under HKEY_LOCAL_MACHINE, default view

    // The entry as the inventory would have read it from the uninstall key.
    [[nodiscard]] inventory::TSoftInfo Entry() const {
        inventory::TSoftInfo entry;
        entry.DisplayName = DisplayName;
        entry.Publisher = Publisher;
        entry.InstallLocation = InstallFolder;
        entry.RootKeyName = L"HKEY_LOCAL_MACHINE";
        entry.KeyPath = UninstallKeyPath;
        return entry;
    }
};

// One plain walk: how long it took and how many registry or file-system calls it made.
struct FloorFigures {
    double Seconds = 0;
    unsigned long long Calls = 0;
};

// Each part returns the floor of the trees it built (what a plain walk of them costs), so the
// full scan can be set against the sum.
FloorFigures RunClassesPart(const ScannedProgram& program);  // COM classes, ProgIDs, extensions, interfaces
FloorFigures RunSystemPart(const ScannedProgram& program);   // services, vendor areas, Run, App Paths, firewall
FloorFigures RunFilesPart(const ScannedProgram& program);    // application-data and start-menu trees

// One orphan scan of the whole world against plain walks of what it reads; prints its own figures.
void RunOrphansPart();

void RemoveClassesPart();
void RemoveSystemPart();
void RemoveFilesPart();

}  // namespace tarvo::bench
