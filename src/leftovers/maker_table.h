#pragma once
// Our own products: their extra registry keys and data locations, which a scan of one of
// them offers, and their files that a scan never offers.

#include <functional>
#include <string>
#include <vector>

#include "inventory/soft_info.h"

namespace tarvo::leftovers {

struct TFilterData {
    std::wstring Name;    // lower-case "publisher display name"
    std::wstring Reg;     // comma-separated keys, each starting with its root's full name
    std::wstring Path;    // comma-separated path items, "MACRO\relative path"
    std::wstring Filter;  // comma-separated path items never offered
};

// The folders the path-item macros stand for; the system is the real source.
class MakerFolders {
public:
    virtual ~MakerFolders() = default;
    [[nodiscard]] virtual std::wstring CommonPrograms() const = 0;
    [[nodiscard]] virtual std::wstring AppData() const = 0;
    [[nodiscard]] virtual std::wstring CommonAppData() const = 0;
};

class SystemMakerFolders final : public MakerFolders {
public:
    [[nodiscard]] std::wstring CommonPrograms() const override;
    [[nodiscard]] std::wstring AppData() const override;
    [[nodiscard]] std::wstring CommonAppData() const override;
};

class TFileterManage {
public:
    TFileterManage();  // the built-in table
    explicit TFileterManage(std::vector<TFilterData> rows);

    // The built-in table, made once.
    [[nodiscard]] static const TFileterManage& Instance();

    // The first row, in table order, whose Name occurs in the key (lower-cased and trimmed
    // here). `pump` runs between rows when given.
    [[nodiscard]] bool FindMakerRow(const std::wstring& key, std::wstring& rowName,
                                    const std::function<void()>& pump = {}) const;
    // "reg", "path" or "filter" of the row whose Name equals rowName (lower-cased) exactly;
    // `fallback` when there is none.
    [[nodiscard]] std::wstring MakerRowField(const std::wstring& rowName, const std::wstring& field,
                                             const std::wstring& fallback) const;
    [[nodiscard]] const std::vector<TFilterData>& Rows() const noexcept { return rows_; }

private:
    std::vector<TFilterData> rows_;
};

// "Publisher DisplayName", lower-cased and trimmed: the key a maker row is looked up by.
[[nodiscard]] std::wstring MakerKeyOf(const inventory::TSoftInfo& entry);

// "CSIDL_APPDATA\X\Y" -> application data + "\X\Y". CSIDL_LOCAPTION stands for the entry's
// install folder. Any other macro, or an item without a backslash, gives empty.
[[nodiscard]] std::wstring ExpandItemMacro(const std::wstring& item, const inventory::TSoftInfo& entry);
[[nodiscard]] std::wstring ExpandItemMacro(const std::wstring& item, const inventory::TSoftInfo& entry,
                                           const MakerFolders& folders);

// Splits a comma-separated field; blanks around items are dropped, empty items skipped.
[[nodiscard]] std::vector<std::wstring> SplitItems(const std::wstring& field);

}  // namespace tarvo::leftovers
