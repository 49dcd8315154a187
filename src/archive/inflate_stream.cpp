#include "archive/inflate_stream.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

namespace tarvo::archive {

namespace {

constexpr std::size_t kPiece = 4096;
// Entry data goes through in larger pieces: zlib then inflates straight into a buffer big
// enough to hold its window and the sink is called a sixteenth as often; still bounded.
constexpr std::size_t kStreamPiece = 64 * 1024;

class Inflater {
public:
    Inflater() noexcept { ok_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() {
        if (ok_) inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    [[nodiscard]] bool ok() const noexcept { return ok_; }
    z_stream& stream() noexcept { return stream_; }

private:
    z_stream stream_{};
    bool ok_ = false;
};

}  // namespace

bool InflateBounded(ByteSource& source, std::int64_t inputLimit, ByteSink& dest, std::int64_t outputSize) {
    if (!PlausibleInflatedSize(inputLimit, outputSize)) return false;
    Inflater inflater;
    if (!inflater.ok()) return false;
    z_stream& z = inflater.stream();
    std::vector<unsigned char> inBuffer(kStreamPiece), outBuffer(kStreamPiece);
    unsigned char* in = inBuffer.data();
    unsigned char* out = outBuffer.data();
    std::int64_t inputLeft = inputLimit;
    std::int64_t outputLeft = outputSize;
    while (outputLeft > 0) {
        if (z.avail_in == 0) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(inputLeft, kStreamPiece));
            const std::size_t got = want == 0 ? 0 : source.ReadSome(in, want);
            if (got == 0) return false;  // the stream wants more than the entry holds
            inputLeft -= static_cast<std::int64_t>(got);
            z.next_in = in;
            z.avail_in = static_cast<uInt>(got);
        }
        const std::size_t room = static_cast<std::size_t>(std::min<std::int64_t>(outputLeft, kStreamPiece));
        z.next_out = out;
        z.avail_out = static_cast<uInt>(room);
        const int result = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = room - z.avail_out;
        if (produced > 0 && !dest.Write(out, produced)) return false;
        outputLeft -= static_cast<std::int64_t>(produced);
        if (result == Z_STREAM_END) return outputLeft == 0;
        if (result != Z_OK && result != Z_BUF_ERROR) return false;
        // No progress with input at hand means a stuck stream: refuse rather than spin.
        if (result == Z_BUF_ERROR && produced == 0 && z.avail_in != 0) return false;
    }
    return true;
}

bool InflateBuffer(const std::string& input, std::size_t outputSize, std::string& output) {
    if (!PlausibleInflatedSize(static_cast<std::int64_t>(input.size()), static_cast<std::int64_t>(outputSize)))
        return false;
    Inflater inflater;
    if (!inflater.ok()) return false;
    z_stream& z = inflater.stream();
    std::string result(outputSize, '\0');
    std::size_t inputDone = 0;
    std::size_t outputDone = 0;
    while (outputDone < outputSize) {
        // In pieces, so uInt never overflows and no single call does unbounded work.
        if (z.avail_in == 0) {
            const std::size_t take = std::min(input.size() - inputDone, kPiece);
            if (take == 0) return false;
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + inputDone));
            z.avail_in = static_cast<uInt>(take);
            inputDone += take;
        }
        const std::size_t room = std::min(outputSize - outputDone, kPiece);
        z.next_out = reinterpret_cast<Bytef*>(result.data() + outputDone);
        z.avail_out = static_cast<uInt>(room);
        const int code = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = room - z.avail_out;
        outputDone += produced;
        if (code == Z_STREAM_END) break;
        if (code != Z_OK && code != Z_BUF_ERROR) return false;
        if (code == Z_BUF_ERROR && produced == 0 && z.avail_in != 0) return false;
    }
    if (outputDone != outputSize) return false;
    output = std::move(result);
    return true;
}

}  // namespace tarvo::archive
