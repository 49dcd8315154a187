#include "addons/kept_json.h"

#include <utility>

#include "addons/addon_text.h"
#include "addons/chrome_preferences.h"
#include "platform/files.h"

namespace tarvo::addons {

bool KeptJson::Stamp::operator==(const Stamp& other) const noexcept {
    return size == other.size && written.dwLowDateTime == other.written.dwLowDateTime &&
           written.dwHighDateTime == other.written.dwHighDateTime;
}

std::optional<KeptJson::Stamp> KeptJson::StampOf(const std::wstring& path) noexcept {
    const auto data = platform::GetFileAttributesExOf(path);
    if (!data || (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return Stamp{(static_cast<ULONGLONG>(data->nFileSizeHigh) << 32) | data->nFileSizeLow, data->ftLastWriteTime};
}

const Json* KeptJson::Read(const std::wstring& path) {
    Forget();
    const auto stamp = StampOf(path);
    if (!stamp) return nullptr;
    document_ = ReadPreferences(path);
    if (!document_) return nullptr;
    path_ = path;
    stamp_ = *stamp;
    return &*document_;
}

std::optional<Json> KeptJson::Take(const std::wstring& path) {
    const auto stamp = StampOf(path);
    if (!stamp) {
        Forget();
        return std::nullopt;
    }
    const bool same = document_ && SameText(path_, path) && *stamp == stamp_;
    std::optional<Json> document = same ? std::move(document_) : ReadPreferences(path);
    Forget();
    return document;
}

void KeptJson::Keep(const std::wstring& path, Json document) {
    Forget();
    const auto stamp = StampOf(path);
    if (!stamp) return;
    path_ = path;
    stamp_ = *stamp;
    document_ = std::move(document);
}

void KeptJson::Forget() noexcept {
    document_.reset();
    path_.clear();
}

}  // namespace tarvo::addons
