#pragma once
// The bytes a program's folder holds.

#include <atomic>
#include <cstdint>
#include <limits>
#include <string>

#include "inventory/folder_listing.h"

namespace tarvo::inventory {

// Every file below the folder, breadth first. Junctions and symbolic links are counted as
// entries of their own and never entered: a link can lead out of the program's folder or
// back into it. The walk stops early once `limit` bytes are reached (the result is then at
// least `limit`) or when `cancel` is set. `topLevel`, when given, keeps the names the walk
// saw directly inside `path`, for questions about that folder that would otherwise list it
// again.
[[nodiscard]] std::int64_t FolderSize(const std::wstring& path,
                                      std::int64_t limit = std::numeric_limits<std::int64_t>::max(),
                                      const std::atomic<bool>* cancel = nullptr, TFolderListing* topLevel = nullptr);

}  // namespace tarvo::inventory
