#pragma once
// A settings file's parsed document kept after a scan, with the size and write time the
// file had when it was read. Switching one add-on off after a scan would otherwise parse a
// file of megabytes a second time; the kept document is handed out only while the file on
// disk is still the one it was parsed from.

#include <optional>
#include <string>

#include <windows.h>

#include "addons/json_format.h"

namespace tarvo::addons {

class KeptJson {
public:
    // The file's stamp is taken before the read, so a change during the read makes the
    // kept document look older than the file and it is parsed again.
    [[nodiscard]] const Json* Read(const std::wstring& path);

    // The document of `path` to change: the kept one when the file is unchanged since, the
    // file parsed again otherwise; nullopt when it cannot be read. The kept copy is given up.
    [[nodiscard]] std::optional<Json> Take(const std::wstring& path);

    // Keeps `document` as the content `path` has now (after writing it, or when it was not
    // changed at all).
    void Keep(const std::wstring& path, Json document);
    void Forget() noexcept;

private:
    struct Stamp {
        ULONGLONG size = 0;
        FILETIME written{};
        [[nodiscard]] bool operator==(const Stamp& other) const noexcept;
    };
    [[nodiscard]] static std::optional<Stamp> StampOf(const std::wstring& path) noexcept;

    std::wstring path_;
    Stamp stamp_{};
    std::optional<Json> document_;
};

}  // namespace tarvo::addons
