#pragma once
// What the archive reader raises: one exception type carrying the reader's message text, so
// callers can show it as it is (the console verb prints it, the score loader drops it).

#include <exception>
#include <string>

namespace tarvo::archive {

class ArchiveError : public std::exception {
public:
    explicit ArchiveError(std::wstring message) : message_(std::move(message)) {}
    [[nodiscard]] const std::wstring& message() const noexcept { return message_; }
    [[nodiscard]] const char* what() const noexcept override { return "archive error"; }

private:
    std::wstring message_;
};

// The reader's messages; those with %s or %d take the name or number.
namespace messages {
inline constexpr const wchar_t* kWrongVersion = L"The archive was created with a different version of ZLBArchive (v%d)";
inline constexpr const wchar_t* kCorrupted = L"The archive appears to be corrupted";
inline constexpr const wchar_t* kDirectoryUnreadable = L"Error reading registry";
inline constexpr const wchar_t* kNoArchiveOpen = L"No archive is currently open";
inline constexpr const wchar_t* kIndexOutOfBounds = L"Index out of bounds";
inline constexpr const wchar_t* kNotFound = L"%s not found in archive";
inline constexpr const wchar_t* kNoPassword = L"No password given for encrypted file";
inline constexpr const wchar_t* kNoDecryption = L"No decryption algorithm found";
inline constexpr const wchar_t* kEntryCrc = L"%s failed CRC check";
inline constexpr const wchar_t* kUnknownPosition = L"Unknown file position marker";
}  // namespace messages

// The message with its %s or %d replaced.
[[nodiscard]] std::wstring FormatMessageText(const wchar_t* pattern, const std::wstring& argument);

}  // namespace tarvo::archive
