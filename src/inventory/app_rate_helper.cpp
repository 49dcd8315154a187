#include "inventory/app_rate_helper.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/date_time.h"
#include "common/paths.h"
#include "common/text.h"
#include "inventory/usage_class.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tarvo::inventory {

using common::DateFromParts;
using common::NowLocal;
using common::UpperCase;
using common::WithTrailingBackslash;

namespace {

// Offset and size of the last-start FILETIME inside a UserAssist value.
constexpr std::size_t kLastStartOffset = 60;
constexpr std::size_t kLastStartEnd = kLastStartOffset + sizeof(FILETIME);

TDateTime DosDateTimeToDate(WORD date, WORD time) noexcept {
    const auto day = DateFromParts(1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F);
    if (!day) return 0;
    const int seconds = (time >> 11) * 3600 + ((time >> 5) & 0x3F) * 60 + (time & 0x1F) * 2;
    return *day + seconds / 86400.0;
}

struct RawStart {
    std::wstring name;
    TDateTime lastStart = 0;
};

// Copies out what a pass over one Count key needs; the decoding that may call into the shell
// runs after the sweep, outside the registry enumeration.
class CountKeyVisitor final : public platform::RegistryValueSweep::Visitor {
public:
    explicit CountKeyVisitor(std::vector<RawStart>& starts) : starts_(starts) {}
    void OnValue(std::wstring_view name, DWORD, const BYTE* data, DWORD size) override {
        try {
            if (size == 0) return;
            const auto lastStart = UserAssistLastStart(data, size);
            if (!lastStart) return;
            starts_.push_back({std::wstring(name), *lastStart});
        } catch (...) {
            // Out of memory for one value: that value is not counted.
        }
    }

private:
    std::vector<RawStart>& starts_;
};

bool EndsWithLnk(const std::wstring& name) {
    return name.size() >= 4 && UpperCase(std::wstring_view(name).substr(name.size() - 4)) == L".LNK";
}

}  // namespace

std::wstring Rot13(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& ch : result) {
        if (ch >= L'A' && ch <= L'Z')
            ch = static_cast<wchar_t>(L'A' + (ch - L'A' + 13) % 26);
        else if (ch >= L'a' && ch <= L'z')
            ch = static_cast<wchar_t>(L'a' + (ch - L'a' + 13) % 26);
    }
    return result;
}

std::optional<TDateTime> UserAssistLastStart(const BYTE* data, std::size_t size) noexcept {
    if (data == nullptr || size < kLastStartEnd) return std::nullopt;
    FILETIME utc{};
    std::memcpy(&utc, data + kLastStartOffset, sizeof utc);
    FILETIME local{};
    WORD dosDate = 0, dosTime = 0;
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToDosDateTime(&local, &dosDate, &dosTime))
        return std::nullopt;
    return DosDateTimeToDate(dosDate, dosTime);
}

TAppRateHelper::TAppRateHelper() : TAppRateHelper(Options{}) {}

TAppRateHelper::TAppRateHelper(Options options) : options_(std::move(options)) {}

void TAppRateHelper::LoadUsageData() {
    std::vector<RawStart> starts;
    platform::RegistryValueSweep sweep;
    for (const wchar_t* source : kUserAssistSources) {
        platform::RegistryKey key;
        const std::wstring path = options_.userAssistPath + L"\\" + source + L"\\Count";
        if (key.Open(options_.root, path, KEY_QUERY_VALUE) != ERROR_SUCCESS) continue;
        CountKeyVisitor visitor(starts);
        (void)sweep.Sweep(key.get(), visitor);
    }
    for (RawStart& start : starts) AddStart(ResolveName(Rot13(start.name)), start.lastStart);
    indexValid_ = false;
}

std::wstring TAppRateHelper::ResolveName(std::wstring name) const {
    const auto open = name.find(L'{');
    const auto close = open == std::wstring::npos ? std::wstring::npos : name.find(L'}', open + 1);
    if (close != std::wstring::npos) {
        std::wstring folder;
        switch (platform::GetKnownFolderPathOf(name.substr(open, close - open + 1), folder)) {
            case platform::KnownFolderResult::Found: name = folder + name.erase(open, close - open + 1); break;
            case platform::KnownFolderResult::Failed: name.clear(); break;
            case platform::KnownFolderResult::Unavailable: break;
        }
    }
    if (EndsWithLnk(name)) name = platform::ResolveShellLinkTarget(name);
    return name;
}

void TAppRateHelper::AddStart(const std::wstring& decodedName, TDateTime lastStart) {
    common::PathSplit split = common::SplitPath(decodedName);
    if (!split.hasSeparator) return;
    std::wstring folder = std::move(split.folder);
    const auto [it, added] = byPath_.try_emplace(folder, records_.size());
    if (added) records_.push_back(TAppUseInfo{std::move(folder)});
    TAppUseInfo& record = records_[it->second];
    if (record.lastUse < lastStart) record.lastUse = lastStart;
    indexValid_ = false;
}

void TAppRateHelper::RebuildIndex() {
    sorted_.clear();
    sorted_.reserve(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i) sorted_.emplace_back(UpperCase(records_[i].path), i);
    std::sort(sorted_.begin(), sorted_.end());
    // Sparse table: level k holds the smallest list position in each run of 2^k sorted paths.
    sparseMin_.clear();
    std::vector<std::size_t> level(sorted_.size());
    for (std::size_t i = 0; i < sorted_.size(); ++i) level[i] = sorted_[i].second;
    sparseMin_.push_back(std::move(level));
    for (std::size_t width = 2; width <= sorted_.size(); width *= 2) {
        const auto& previous = sparseMin_.back();
        std::vector<std::size_t> next(sorted_.size() - width + 1);
        for (std::size_t i = 0; i < next.size(); ++i) next[i] = std::min(previous[i], previous[i + width / 2]);
        sparseMin_.push_back(std::move(next));
    }
    indexValid_ = true;
}

std::ptrdiff_t TAppRateHelper::FirstRecordUnder(const std::wstring& upperLocation) const {
    const auto startsWith = [&upperLocation](const std::pair<std::wstring, std::size_t>& item) {
        return item.first.compare(0, upperLocation.size(), upperLocation) == 0;
    };
    // Paths that begin with the location sort together, starting at its lower bound.
    const auto first = std::lower_bound(sorted_.begin(), sorted_.end(), upperLocation,
                                        [](const auto& item, const std::wstring& key) { return item.first < key; });
    const auto last = std::partition_point(first, sorted_.end(), startsWith);
    if (first == last) return -1;
    const auto from = static_cast<std::size_t>(first - sorted_.begin());
    const auto count = static_cast<std::size_t>(last - first);
    std::size_t level = 0;
    while ((std::size_t{2} << level) <= count) ++level;
    const std::size_t width = std::size_t{1} << level;
    return static_cast<std::ptrdiff_t>(std::min(sparseMin_[level][from], sparseMin_[level][from + count - width]));
}

TUsageLookup TAppRateHelper::Lookup(const std::wstring& installLocation, TDateTime installDate) {
    TUsageLookup result;
    result.found = true;
    if (!indexValid_) RebuildIndex();
    const std::ptrdiff_t match = FirstRecordUnder(UpperCase(WithTrailingBackslash(installLocation)));
    if (match < 0) return result;
    TAppUseInfo& record = records_[static_cast<std::size_t>(match)];
    const TDateTime today = options_.today ? options_.today() : NowLocal();
    record.installDate = installDate;
    record.range = ClassifyRange(today, record.lastUse);
    record.rate = ClassifyRate(record.range, record.rate, today, installDate);
    result.range = record.range;
    result.rate = record.rate;
    result.lastUse = record.lastUse;
    return result;
}

}  // namespace tarvo::inventory
