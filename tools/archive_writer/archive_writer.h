#pragma once
// Writes the program's data archives (the program itself only reads them): any mix of the
// four entry modes, a raw or zlib directory, optional leading bytes. Builds the test
// archives, the shipped ScoreBase.dbd and the installation payload.

#include <optional>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/entry_cipher.h"
#include "archive/zip_decompression.h"

namespace tarvo::tools {

struct WriterEntry {
    std::string name;  // system code page, as stored
    std::string data;
    archive::EntryMode mode = archive::EntryMode::CompressedEncrypted;
};

struct WriterOptions {
    bool compressDirectory = true;
    std::string leadingBytes;
    std::wstring passPhrase = archive::kArchivePassPhrase;
};

// The whole file; nullopt when compression or the cipher fails. Salt and IV come from the
// entry's own bytes, so the same input always gives the same archive.
[[nodiscard]] std::optional<std::string> BuildArchive(const std::vector<WriterEntry>& entries,
                                                      const WriterOptions& options);

// The byte-exact encrypted form (salt, IV, cipher text) of `packed`.
[[nodiscard]] std::optional<std::string> EncryptEntryData(const std::string& packed, const std::wstring& passPhrase,
                                                          const archive::Salt& salt, const platform::AesBlock& iv);

}  // namespace tarvo::tools
