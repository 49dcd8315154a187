#include "ui/font_cache.h"

#include <cwchar>

namespace tarvo::ui {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    const unique_window_dc screen(nullptr);
    if (!screen) return false;
    ::EnumFontFamiliesExW(screen.get(), &query, &NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::wstring PreferredFace() {
    if (FaceInstalled(L"Segoe UI")) return L"Segoe UI";
    NONCLIENTMETRICSW metrics{};
    // The XP-sized structure: the full one fails on XP.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0] != L'\0') {
        return metrics.lfMessageFont.lfFaceName;
    }
    return L"Tahoma";
}

}  // namespace

FontSpec SpecOf(FontRole role) noexcept {
    switch (role) {
        case FontRole::Body: return {9, FW_NORMAL};
        case FontRole::Emphasis: return {9, FW_SEMIBOLD};
        case FontRole::Small: return {8, FW_NORMAL};
        case FontRole::Caption: return {10, FW_SEMIBOLD};
        case FontRole::Heading: return {11, FW_NORMAL};
    }
    return {9, FW_NORMAL};
}

int FontHeightFor(int points, int dpi) noexcept { return -::MulDiv(points, dpi, 72); }

FontCache::FontCache() : face_(PreferredFace()) {}

HFONT FontCache::Get(FontRole role, int dpi) {
    const auto key = std::make_pair(static_cast<int>(role), dpi);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();
    const FontSpec spec = SpecOf(role);
    LOGFONTW font{};
    font.lfHeight = FontHeightFor(spec.points, dpi);
    font.lfWeight = spec.weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    std::wcsncpy(font.lfFaceName, face_.c_str(), LF_FACESIZE - 1);
    unique_hfont made(::CreateFontIndirectW(&font));
    const HFONT result = made ? made.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (made) fonts_.emplace(key, std::move(made));
    return result;
}

unique_hfont CreateMessageFont(int pixels, int weight, int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -::MulDiv(pixels, dpi, 96);
    metrics.lfMessageFont.lfWeight = weight;
    return unique_hfont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

FontCache& SharedFonts() {
    static FontCache cache;
    return cache;
}

}  // namespace tarvo::ui
