#pragma once
// The body lines the two callers hand to the log writers. Built here, from plain values,
// so neither caller can get the layout wrong.

#include <windows.h>

#include <string>
#include <vector>

namespace tarvo::uninstall {

// Three lines per uninstalled program: "[name]", "Date:<user date time>", "".
[[nodiscard]] std::vector<std::wstring> UninstallLogLines(const std::wstring& displayName,
                                                          const SYSTEMTIME& localTime);

// One ticked item of the leftover results that the removal attempted (removed at once or
// scheduled for the next restart).
struct RemovalLogItem {
    enum class Kind { RegistryValue, RegistryKey, File, Folder };
    Kind kind = Kind::File;
    std::wstring text;  // the registry text, or the full path

    // A registry finding: a value line when it names a value, a key line otherwise (the
    // unnamed default value included, whose text still ends in " | Default - data").
    [[nodiscard]] static RemovalLogItem Registry(const std::wstring& registryText, const std::wstring& valueName);
    [[nodiscard]] static RemovalLogItem File(const std::wstring& path);
    [[nodiscard]] static RemovalLogItem Folder(const std::wstring& path);
};

// A group node of the results ("Registry (12)", "Files (3)") with its ticked items in tree order.
struct RemovalLogGroup {
    std::wstring caption;
    std::vector<RemovalLogItem> items;
};

// A program node of the results ("Foo (15)") with its groups, whether or not anything was ticked.
struct RemovalLogProgram {
    std::wstring caption;
    std::vector<RemovalLogGroup> groups;
};

// The caption up to, not including, its first "(": the tree adds the item count there.
[[nodiscard]] std::wstring CaptionBeforeCount(const std::wstring& caption);

[[nodiscard]] std::wstring RemovalItemLine(const RemovalLogItem& item);
[[nodiscard]] std::vector<std::wstring> RemovalLogLines(const std::vector<RemovalLogProgram>& programs,
                                                        const SYSTEMTIME& localTime);

}  // namespace tarvo::uninstall
