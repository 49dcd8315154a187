#include "trace/registry_snapshot.h"

#include <algorithm>
#include <cstring>

#include "platform/registry.h"
#include "platform/registry_stamps.h"
#include "platform/text.h"
#include "trace/trace_hash.h"

namespace tarvo::trace {

namespace {

constexpr std::size_t kSpillBuffer = 1u << 20;

std::uint64_t StampOf(const FILETIME& time) noexcept {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

template <typename T>
void Put(std::vector<BYTE>& buffer, const T& value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    buffer.insert(buffer.end(), bytes, bytes + sizeof value);
}

class CollectValues final : public platform::RegistryValueSweep::Visitor {
public:
    explicit CollectValues(std::vector<BYTE>& buffer) : buffer_(buffer) {}
    void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) override {
        Put(buffer_, static_cast<std::uint32_t>(name.size()));
        const auto* chars = reinterpret_cast<const BYTE*>(name.data());
        buffer_.insert(buffer_.end(), chars, chars + name.size() * sizeof(wchar_t));
        Put(buffer_, static_cast<std::uint32_t>(type));
        Put(buffer_, static_cast<std::uint32_t>(size));
        buffer_.insert(buffer_.end(), data, data + size);
        ++count;
    }
    std::uint32_t count = 0;

private:
    std::vector<BYTE>& buffer_;
};

// The subkeys of an open key with their last-write times, in registry order.
std::vector<std::pair<std::wstring, std::uint64_t>> Subkeys(const platform::KeyHandle& key) {
    std::vector<std::pair<std::wstring, std::uint64_t>> names;
    std::wstring name;
    FILETIME stamp{};
    for (DWORD i = 0; platform::EnumKeyStamped(key.get(), i, name, stamp) == ERROR_SUCCESS; ++i) names.emplace_back(name, StampOf(stamp));
    return names;
}

std::wstring Join(const std::wstring& path, const std::wstring& name) {
    return path.empty() ? name : path + L"\\" + name;
}

}  // namespace

std::vector<WatchedKey> DefaultWatchedKeys() {
    std::vector<WatchedKey> keys = {
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SOFTWARE", true},
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SYSTEM\\CurrentControlSet", true},
        {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"", true},
    };
    // The other loaded hives; the current user's is HKCU already, and a "_Classes" hive is
    // the same keys as its user's Software\Classes.
    std::wstring current;
    if (const auto kernel = platform::RegistryKernelName(HKEY_CURRENT_USER, L"", platform::RegistryView::Wow64_64Key))
        current = kernel->substr(kernel->find_last_of(L'\\') + 1);
    const platform::BorrowedKey users(HKEY_USERS);
    const std::vector<std::wstring> hives = users.SubKeyNames();
    const bool hasSystem = std::any_of(hives.begin(), hives.end(),
                                       [](const std::wstring& h) { return platform::LowerCase(h) == L"s-1-5-18"; });
    for (const std::wstring& hive : hives) {
        const std::wstring lower = platform::LowerCase(hive);
        if (lower == platform::LowerCase(current) || lower.ends_with(L"_classes")) continue;
        if (lower == L".default" && hasSystem) continue;  // the same hive as S-1-5-18
        keys.push_back({HKEY_USERS, L"HKEY_USERS", hive, true});
    }
    return keys;
}

bool RegistrySnapshot::Take(const std::vector<WatchedKey>& keys, const TraceFilter& filter,
                            const std::wstring& spillPath) {
    tree_.Clear();
    spillAt_.clear();
    roots_.clear();
    keys_ = keys;
    filter_ = filter;
    buffer_.clear();
    buffer_.reserve(kSpillBuffer + 4096);
    spillSize_ = 0;
    if (!spill_.Create(spillPath, true)) return false;
    for (const WatchedKey& watched : keys_) {
        current_ = &watched;
        platform::RegistryKey key;
        FILETIME stamp{};
        const bool open = key.Open(watched.root, watched.path, KEY_READ, platform::ViewOf(watched.view64)) ==
                          ERROR_SUCCESS;
        if (open) (void)platform::KeyLastWriteTime(key.get(), stamp);
        const std::uint32_t node = tree_.AddRoot(HashName(watched.rootName + L"\\" + watched.path), StampOf(stamp));
        roots_.push_back(node);
        if (open) Walk(key.get(), watched.path, node);
    }
    FlushSpill();
    tree_.Compact();
    spillAt_.resize(tree_.Size(), kNoNode);
    spillAt_.shrink_to_fit();
    current_ = nullptr;
    return true;
}

void RegistrySnapshot::SpillValues(HKEY key, std::uint32_t node) {
    if (spillAt_.size() <= node) spillAt_.resize(node + 1, kNoNode);
    spillAt_[node] = spillSize_ + buffer_.size() < kNoNode
                         ? static_cast<std::uint32_t>(spillSize_ + buffer_.size())
                         : kNoNode;  // past 4 GB the data before is not kept
    const std::size_t countAt = buffer_.size();
    Put(buffer_, std::uint32_t{0});
    CollectValues collect(buffer_);
    platform::RegistryValueSweep sweep;
    (void)sweep.Sweep(key, collect);
    std::memcpy(buffer_.data() + countAt, &collect.count, sizeof collect.count);
    if (buffer_.size() >= kSpillBuffer) FlushSpill();
}

void RegistrySnapshot::FlushSpill() {
    if (buffer_.empty()) return;
    (void)spill_.Write(buffer_.data(), buffer_.size());
    spillSize_ += buffer_.size();
    buffer_.clear();
}

void RegistrySnapshot::Walk(HKEY key, const std::wstring& path, std::uint32_t node) {
    SpillValues(key, node);
    const platform::BorrowedKey parent(key);
    auto subkeys = Subkeys(parent);
    std::vector<PendingChild> children;
    children.reserve(subkeys.size());
    for (std::uint32_t i = 0; i < subkeys.size(); ++i) {
        if (filter_.SkipsKey(current_->rootName, Join(path, subkeys[i].first))) continue;
        children.push_back({HashName(subkeys[i].first), subkeys[i].second, i, false});
    }
    const std::uint32_t first = tree_.PlaceChildren(node, children);
    for (std::uint32_t i = 0; i < children.size(); ++i) {
        const std::wstring& name = subkeys[children[i].source].first;
        platform::RegistryKey sub;
        if (sub.Open(key, name, KEY_READ, platform::ViewOf(current_->view64)) != ERROR_SUCCESS) continue;
        Walk(sub.get(), Join(path, name), first + i);
    }
}

std::vector<RegistrySnapshot::Value> RegistrySnapshot::SpilledValues(std::uint32_t node) {
    std::vector<Value> values;
    if (node >= spillAt_.size() || spillAt_[node] == kNoNode || !spill_.Seek(spillAt_[node])) return values;
    std::uint32_t count = 0;
    if (!spill_.ReadExact(&count, sizeof count)) return values;
    for (std::uint32_t i = 0; i < count; ++i) {
        Value value;
        std::uint32_t length = 0, type = 0, size = 0;
        if (!spill_.ReadExact(&length, sizeof length)) break;
        value.name.resize(length);
        if (length && !spill_.ReadExact(value.name.data(), length * sizeof(wchar_t))) break;
        if (!spill_.ReadExact(&type, sizeof type) || !spill_.ReadExact(&size, sizeof size)) break;
        value.type = type;
        value.data.resize(size);
        if (size && !spill_.ReadExact(value.data.data(), size)) break;
        values.push_back(std::move(value));
    }
    return values;
}

std::vector<RegistrySnapshot::Value> RegistrySnapshot::LiveValues(HKEY key) {
    class Visitor final : public platform::RegistryValueSweep::Visitor {
    public:
        void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) override {
            values.push_back({std::wstring(name), type, std::vector<BYTE>(data, data + size)});
        }
        std::vector<Value> values;
    } visitor;
    platform::RegistryValueSweep sweep;
    (void)sweep.Sweep(key, visitor);
    return std::move(visitor.values);
}

TraceItem RegistrySnapshot::Item(TraceItemKind kind, const std::wstring& path) const {
    TraceItem item;
    item.kind = kind;
    item.root = current_->rootName;
    item.path = path;
    item.view64 = current_->view64;
    return item;
}

std::vector<TraceItem> RegistrySnapshot::Compare() {
    std::vector<TraceItem> items;
    out_ = &items;
    for (std::size_t i = 0; i < keys_.size() && i < roots_.size(); ++i) {
        current_ = &keys_[i];
        platform::RegistryKey key;
        if (key.Open(current_->root, current_->path, KEY_READ, platform::ViewOf(current_->view64)) != ERROR_SUCCESS)
            continue;
        FILETIME stamp{};
        (void)platform::KeyLastWriteTime(key.get(), stamp);
        CompareKey(key.get(), current_->path, roots_[i], StampOf(stamp));
    }
    out_ = nullptr;
    current_ = nullptr;
    return items;
}

void RegistrySnapshot::CompareKey(HKEY key, const std::wstring& path, std::uint32_t node, std::uint64_t liveStamp) {
    if (liveStamp != tree_.Node(node).stamp) {
        const std::vector<Value> before = SpilledValues(node);
        for (Value& value : LiveValues(key)) {
            const auto old = std::find_if(before.begin(), before.end(), [&](const Value& v) {
                return HashName(v.name) == HashName(value.name);
            });
            if (old != before.end() && old->type == value.type && old->data == value.data) continue;
            TraceItem item = Item(old == before.end() ? TraceItemKind::ValueCreated : TraceItemKind::ValueChanged, path);
            item.valueName = value.name;
            item.typeAfter = value.type;
            item.after = std::move(value.data);
            if (old != before.end()) {
                item.typeBefore = old->type;
                item.before = old->data;
            }
            out_->push_back(std::move(item));
        }
    }
    const platform::BorrowedKey parent(key);
    for (const auto& [name, stamp] : Subkeys(parent)) {
        const std::wstring subPath = Join(path, name);
        if (filter_.SkipsKey(current_->rootName, subPath)) continue;
        platform::RegistryKey sub;
        if (sub.Open(key, name, KEY_READ, platform::ViewOf(current_->view64)) != ERROR_SUCCESS) continue;
        const std::uint32_t child = tree_.FindChild(node, HashName(name));
        if (child == kNoNode)
            AddCreated(sub.get(), subPath);
        else
            CompareKey(sub.get(), subPath, child, stamp);
    }
}

void RegistrySnapshot::AddCreated(HKEY key, const std::wstring& path) {
    out_->push_back(Item(TraceItemKind::KeyCreated, path));
    for (Value& value : LiveValues(key)) {
        TraceItem item = Item(TraceItemKind::ValueCreated, path);
        item.valueName = std::move(value.name);
        item.typeAfter = value.type;
        item.after = std::move(value.data);
        out_->push_back(std::move(item));
    }
    const platform::BorrowedKey parent(key);
    for (const auto& [name, stamp] : Subkeys(parent)) {
        const std::wstring subPath = Join(path, name);
        if (filter_.SkipsKey(current_->rootName, subPath)) continue;
        platform::RegistryKey sub;
        if (sub.Open(key, name, KEY_READ, platform::ViewOf(current_->view64)) == ERROR_SUCCESS)
            AddCreated(sub.get(), subPath);
    }
}

}  // namespace tarvo::trace
