#pragma once
// Fonts by role and DPI, made once and shared by every widget of the UI thread.

#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "ui/gdi.h"

namespace tarvo::ui {

enum class FontRole {
    Body,       // list rows, edit fields, buttons: 9 pt
    Emphasis,   // a row's first line, the current category: 9 pt semibold
    Small,      // a row's second line, header texts: 8 pt
    Caption,    // the title bar's caption: 10 pt semibold
    Heading,    // page buttons and headings: 11 pt
};

// Point size and weight of a role.
struct FontSpec {
    int points;
    int weight;
};
[[nodiscard]] FontSpec SpecOf(FontRole role) noexcept;
// Height in logical units for a point size: negative, as LOGFONT wants a character height.
[[nodiscard]] int FontHeightFor(int points, int dpi) noexcept;

class FontCache {
public:
    // face: "Segoe UI" where installed, otherwise the system's message font (Tahoma on older
    // systems and on Wine).
    FontCache();
    explicit FontCache(std::wstring face) : face_(std::move(face)) {}

    [[nodiscard]] HFONT Get(FontRole role, int dpi);
    [[nodiscard]] const std::wstring& face() const noexcept { return face_; }

private:
    std::wstring face_;
    std::map<std::pair<int, int>, unique_hfont> fonts_;
};

// The system's message font, `pixels` high at 96 DPI and scaled to `dpi`, for dialogs that
// follow the system's face and sizes rather than the shared roles.
[[nodiscard]] unique_hfont CreateMessageFont(int pixels, int weight, int dpi);

// The UI thread's cache. Windows share it so that a font is made once per role and DPI.
[[nodiscard]] FontCache& SharedFonts();

}  // namespace tarvo::ui
