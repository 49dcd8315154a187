#include "archive/zip_decompression.h"

#include "archive/entry_cipher.h"
#include "archive/zlb_archive.h"
#include "platform/files.h"

namespace tarvo::archive {

void TZipDeCompression::ExtractFile(const std::wstring& archivePath, const std::wstring& entryName, ByteSink& dest,
                                    const std::wstring& passPhrase) {
    if (!platform::FileExists(archivePath)) return;
    TZLBArc2 reader;
    reader.SetDecryptionHandler(&DecryptEntry);
    reader.SetPassPhrase(passPhrase);
    reader.SetKeepImage(true);
    // A file that cannot be opened leaves no archive open: FindEntry says so.
    (void)reader.Open(archivePath);
    reader.ExtractEntry(reader.FindEntry(entryName), dest);
    dest.Rewind();
}

}  // namespace tarvo::archive
