#include "leftovers/shredder.h"

#include <vector>

#include "platform/files.h"

namespace tarvo::leftovers {

namespace {

bool Cancelled(const TShredOptions& options) { return options.cancelRequested && options.cancelRequested(); }

void OverwritePass(const std::wstring& path, std::uint8_t pattern, const TShredOptions& options) {
    (void)platform::SetFileAttributesOf(path, FILE_ATTRIBUTE_ARCHIVE);
    const auto size = platform::GetFileSizeOf(path);
    if (!size) return;
    platform::unique_hfile file = platform::CreateFileOf(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
    if (!file || !platform::SeekFileStart(file)) return;
    std::vector<std::uint8_t> chunk;
    for (ULONGLONG left = *size; left > 0;) {
        const std::size_t length = left < kShredChunkBytes ? static_cast<std::size_t>(left) : kShredChunkBytes;
        chunk.resize(length);
        // Block by block, so the window stays live while a large chunk is prepared.
        for (std::size_t at = 0; at < length; at += kShredBlockBytes) {
            const std::size_t block = length - at < kShredBlockBytes ? length - at : kShredBlockBytes;
            std::fill_n(chunk.begin() + static_cast<std::ptrdiff_t>(at), block, pattern);
            if (options.pump) options.pump();
            if (Cancelled(options)) return;
        }
        if (!platform::WriteFileBytesAt(file, chunk.data(), length)) return;
        left -= length;
    }
    (void)platform::FlushFile(file);
}

}  // namespace

TPatternGenerator& ProgramPatternGenerator() noexcept {
    static TPatternGenerator generator;
    return generator;
}

bool CanOpenForWriting(const std::wstring& path) noexcept {
    return static_cast<bool>(platform::CreateFileOf(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING));
}

TShredResult ShredFile(const std::wstring& path, TPatternGenerator& generator, const TShredOptions& options) {
    for (int pass = 1; pass <= 2; ++pass) {
        if (Cancelled(options)) continue;
        const std::uint8_t pattern = generator.Next();
        OverwritePass(path, pattern, options);
        if (options.afterPass) options.afterPass(pass, pattern);
    }
    if (Cancelled(options)) return TShredResult::Cancelled;
    (void)platform::DeleteFileOf(path);
    return platform::GetFileAttributesOf(path) == INVALID_FILE_ATTRIBUTES ? TShredResult::Deleted
                                                                         : TShredResult::NotDeleted;
}

}  // namespace tarvo::leftovers
