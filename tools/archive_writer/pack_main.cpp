// tarvo_pack: writes a data archive from files.
//   tarvo_pack OUT [--raw-dir] [--lead FILE] [--pass PHRASE] MODE NAME FILE [MODE NAME FILE …]
// MODE: zlib, stored, encrypted-zlib or encrypted.

#include <cstdio>
#include <string>
#include <vector>

#include "archive_writer/archive_writer.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

int Usage() {
    std::fputs("usage: tarvo_pack OUT [--raw-dir] [--lead FILE] [--pass PHRASE] MODE NAME FILE ...\n"
               "MODE: zlib | stored | encrypted-zlib | encrypted\n", stderr);
    return 2;
}

bool ParseMode(const std::wstring& text, tarvo::archive::EntryMode& mode) {
    using tarvo::archive::EntryMode;
    if (text == L"zlib") mode = EntryMode::Compressed;
    else if (text == L"stored") mode = EntryMode::Stored;
    else if (text == L"encrypted-zlib") mode = EntryMode::CompressedEncrypted;
    else if (text == L"encrypted") mode = EntryMode::StoredEncrypted;
    else return false;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring out = argv[1];
    tarvo::tools::WriterOptions options;
    std::vector<tarvo::tools::WriterEntry> entries;
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--raw-dir") {
            options.compressDirectory = false;
        } else if (arg == L"--lead" && i + 1 < argc) {
            const auto lead = tarvo::platform::ReadFileBytes(argv[++i]);
            if (!lead) return Usage();
            options.leadingBytes = *lead;
        } else if (arg == L"--pass" && i + 1 < argc) {
            options.passPhrase = argv[++i];
        } else if (i + 2 < argc) {
            tarvo::tools::WriterEntry entry;
            if (!ParseMode(arg, entry.mode)) return Usage();
            entry.name = tarvo::platform::WideToMultiByte(argv[i + 1], CP_ACP);
            const auto data = tarvo::platform::ReadFileBytes(argv[i + 2]);
            if (!data) {
                std::fprintf(stderr, "tarvo_pack: cannot read %ls\n", argv[i + 2]);
                return 1;
            }
            entry.data = *data;
            entries.push_back(std::move(entry));
            i += 2;
        } else {
            return Usage();
        }
    }
    const auto bytes = tarvo::tools::BuildArchive(entries, options);
    if (!bytes || !tarvo::platform::WriteFileBytes(out, *bytes)) {
        std::fprintf(stderr, "tarvo_pack: cannot write %ls\n", out.c_str());
        return 1;
    }
    return 0;
}
