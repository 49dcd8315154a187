#pragma once
// Archives for the reader's tests: built by the writer, written into a scratch folder.

#include <functional>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/zip_decompression.h"
#include "archive_writer/archive_writer.h"
#include "platform/files.h"
#include "support/scratch_folder.h"

namespace tarvo::archive::test {

inline std::string Pattern(std::size_t size, unsigned seed = 1) {
    std::string bytes(size, '\0');
    unsigned value = seed;
    for (auto& byte : bytes) {
        value = value * 1103515245u + 12345u;
        // Half text-like, so zlib has something to do, half noise.
        byte = static_cast<char>((value >> 16) % 4 == 0 ? (value >> 8) : 'a' + (value >> 20) % 6);
    }
    return bytes;
}

// The reader's message for `action`, or "" when it succeeded; any other exception fails.
inline std::wstring MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ArchiveError& error) {
        return error.message();
    }
    return L"";
}

inline std::wstring Extract(const std::wstring& path, const std::wstring& entry, std::string& out) {
    StringSink sink;
    const std::wstring message =
        MessageOf([&] { TZipDeCompression::ExtractFile(path, entry, sink, kArchivePassPhrase); });
    out = sink.bytes();
    return message;
}

}  // namespace tarvo::archive::test
