#pragma once
// Whole-file reads and writes for the small text files the program keeps for itself.

#include <optional>
#include <string>

namespace tarvo::platform {

// The file's bytes; nullopt when it cannot be opened or read.
[[nodiscard]] std::optional<std::string> ReadFileBytes(const std::wstring& path) noexcept;
// Replaces the file's content (creating it); false when it cannot be written completely.
[[nodiscard]] bool WriteFileBytes(const std::wstring& path, const std::string& bytes) noexcept;

}  // namespace tarvo::platform
