#include "cli/archive_verb.h"

#include <cwchar>

#include "archive/entry_cipher.h"
#include "archive/zip_decompression.h"
#include "archive/zlb_archive.h"
#include "platform/file_stream.h"
#include "platform/files.h"

namespace tarvo::cli {

namespace {

const wchar_t* ModeName(std::uint8_t mode) {
    switch (mode) {
        case 0: return L"zlib";
        case 1: return L"stored";
        case 2: return L"encrypted-zlib";
        case 3: return L"encrypted";
        default: return L"unknown";
    }
}

void OpenReader(archive::TZLBArc2& reader, const std::wstring& path) {
    reader.SetPassPhrase(archive::kArchivePassPhrase);
    reader.SetDecryptionHandler(&archive::DecryptEntry);
    // A file that cannot be opened leaves no archive open, which the reader reports.
    if (!reader.Open(path)) throw archive::ArchiveError(archive::messages::kNoArchiveOpen);
}

int List(const std::wstring& path, CliOutput& out) {
    archive::TZLBArc2 reader;
    OpenReader(reader, path);
    out.Out(L"name\tmode\tsize\tstored\tcrc\r\n");
    for (const auto& entry : reader.Entries()) {
        wchar_t line[128];
        std::swprintf(line, std::size(line), L"\t%ls\t%lld\t%lld\t%08X\r\n", ModeName(entry.Mode),
                      static_cast<long long>(entry.UnpackedSize),
                      static_cast<long long>(entry.Mode >= 2 ? static_cast<std::uint32_t>(entry.StoredSize)
                                                             : entry.PackedSize),
                      entry.Crc);
        out.Out(archive::TZLBArc2::FullName(entry) + line);
    }
    return kExitOk;
}

int Extract(const std::wstring& path, const std::wstring& name, const std::wstring& target, CliOutput& out) {
    archive::TZLBArc2 reader;
    OpenReader(reader, path);
    const int index = reader.FindEntry(name);
    platform::FileStream file;
    if (!file.Create(target)) {
        out.Err(L"tarvo: cannot write " + target + L"\r\n");
        return kExitFailure;
    }
    archive::FileSink sink(file);
    try {
        reader.ExtractEntry(index, sink);
    } catch (...) {
        // No half-written file stays behind.
        file.Close();
        (void)platform::DeleteFileOf(target);
        throw;
    }
    return kExitOk;
}

}  // namespace

int RunArchiveVerb(std::span<const std::wstring> args, CliOutput& out) {
    const bool list = args.size() == 2 && args[0] == L"list";
    const bool extract = args.size() == 4 && args[0] == L"extract";
    if (!list && !extract) return kExitUsage;
    try {
        return list ? List(args[1], out) : Extract(args[1], args[2], args[3], out);
    } catch (const archive::ArchiveError& error) {
        out.Err(error.message() + L"\r\n");
        return kExitArchiveError;
    }
}

}  // namespace tarvo::cli
