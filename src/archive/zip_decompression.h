#pragma once
// TZipDeCompression: the one call the rest of the program uses to take a file out of a data
// archive.

#include <string>

#include "archive/byte_sink.h"

namespace tarvo::archive {

// The pass phrase every archive of the program is read with.
inline constexpr const wchar_t* kArchivePassPhrase = L"kwm7_4185";

struct TZipDeCompression {
    // Nothing happens when `archivePath` does not exist. Otherwise the entry goes to
    // `dest`, which is rewound; the reader's errors propagate as ArchiveError.
    static void ExtractFile(const std::wstring& archivePath, const std::wstring& entryName, ByteSink& dest,
                            const std::wstring& passPhrase);
};

}  // namespace tarvo::archive
