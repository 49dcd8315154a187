#pragma once
// The fuzz harness's engine: mutated inputs built from a seed corpus, each fed to a reader
// in-process, with a watchdog for hangs, a filter that keeps the input of a crash, and the
// process's memory read as it goes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvo::fuzz {

// One reader of untrusted input: it gets the bytes and a scratch folder of its own to write
// them into when it reads from a file.
struct Reader {
    const char* name;  // also the corpus subfolder
    std::function<void(const std::string& bytes, const std::wstring& scratch)> read;
};

// The readers the harness knows (fuzz_readers.cpp).
[[nodiscard]] std::vector<Reader> AllReaders();

// Deterministic, so a run can be repeated from its seed.
class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    // One to four of: bit flips, truncation, splicing with another seed, huge numbers and
    // lengths, deep nesting, invalid UTF-8 and UTF-16, NUL bytes, repeated and cut chunks.
    [[nodiscard]] std::string Mutate(const std::vector<std::string>& corpus);
    [[nodiscard]] std::uint64_t Next() noexcept;
    [[nodiscard]] std::size_t Below(std::size_t bound) noexcept {
        return bound == 0 ? 0 : static_cast<std::size_t>(Next() % bound);
    }

private:
    void Once(std::string& input, const std::vector<std::string>& corpus);
    std::uint64_t state_;
};

struct Figures {
    std::string reader;
    std::uint64_t inputs = 0;
    std::uint64_t crashes = 0;
    std::uint64_t hangs = 0;
    std::uint64_t exceptions = 0;     // a C++ exception out of the reader: counted, not a fault
    std::int64_t memoryGrowthKb = 0;  // private bytes at the end less after the warm-up
};

struct RunOptions {
    std::uint64_t inputsPerReader = 300;
    std::uint64_t seed = 1;
    unsigned hangSeconds = 10;             // one input longer than this is a hang
    std::int64_t memoryLimitKb = 256 * 1024;  // growth beyond this fails the reader
    std::wstring corpusFolder;             // holds one subfolder per reader
    std::wstring findingsFolder;           // where a crash's or hang's input is kept
    std::wstring scratchFolder;
};

// Runs every reader whose name is in `only` (all when empty). A crash or a hang ends the
// process (its input kept in the findings folder, the figures so far printed); what comes
// back are the figures of a run that ended.
[[nodiscard]] std::vector<Figures> RunReaders(const std::vector<Reader>& readers, const std::vector<std::string>& only,
                                              const RunOptions& options);

// The seeds of one reader: every file of its corpus subfolder.
[[nodiscard]] std::vector<std::string> LoadCorpus(const std::wstring& folder);

}  // namespace tarvo::fuzz
