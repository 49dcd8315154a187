#pragma once
// The file shredder: two passes that overwrite a file in place, each with one pattern byte,
// then the deletion.

#include <cstdint>
#include <functional>
#include <string>

namespace tarvo::leftovers {

// The pattern bytes: a 32-bit linear congruential generator that nobody seeds, so every run
// of the program draws the same sequence. One generator serves the whole program.
class TPatternGenerator {
public:
    explicit TPatternGenerator(std::uint32_t seed = 0) noexcept : x_(seed) {}
    // 0 to 254.
    std::uint8_t Next() noexcept {
        x_ = x_ * 134775813u + 1u;
        return static_cast<std::uint8_t>((static_cast<std::uint64_t>(x_) * 255u) >> 32);
    }

private:
    std::uint32_t x_;
};
[[nodiscard]] TPatternGenerator& ProgramPatternGenerator() noexcept;

inline constexpr std::size_t kShredChunkBytes = 5242880;  // written per call
inline constexpr std::size_t kShredBlockBytes = 16384;    // filled between message pumps

struct TShredOptions {
    std::function<bool()> cancelRequested;  // a cancelled pass is skipped
    std::function<void()> pump;
    // Called after each overwriting pass (1 and 2) with the pattern used: the test's window
    // onto the file between passes.
    std::function<void(int pass, std::uint8_t pattern)> afterPass;
};

enum class TShredResult {
    Deleted,        // overwritten (unless cancelled) and gone
    NotDeleted,     // overwritten, but the file is still there
    Cancelled,      // a cancel came before the deletion; the file may be partly overwritten
};

// The file opens for reading and writing with no sharing: nobody else has it open.
[[nodiscard]] bool CanOpenForWriting(const std::wstring& path) noexcept;

// Two overwriting passes (a pattern byte drawn per pass), then DeleteFileW. A pass that cannot
// open or write the file ends silently.
TShredResult ShredFile(const std::wstring& path, TPatternGenerator& generator, const TShredOptions& options = {});

}  // namespace tarvo::leftovers
