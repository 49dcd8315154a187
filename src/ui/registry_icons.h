#pragma once
// Icons for registry findings, drawn here rather than borrowed from the registry editor,
// whose icon resources sit at different places on every Windows version (and on Wine).

#include <windows.h>

#include "platform/shell.h"

namespace tarvo::ui {

enum class RegistryIcon { Key, Value };

// A square icon of `size` pixels with a transparent background; null when GDI refuses.
[[nodiscard]] platform::unique_hicon MakeRegistryIcon(RegistryIcon kind, int size) noexcept;

}  // namespace tarvo::ui
