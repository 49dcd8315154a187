#include "fuzz_engine.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <thread>

#include "platform/files.h"
#include "platform/text.h"

namespace tarvo::fuzz {

namespace {

constexpr std::size_t kMaxInput = 4u << 20;

// What the crash filter and the watchdog need to keep an input: set around each run.
std::atomic<const std::string*> g_current{nullptr};
std::atomic<DWORD> g_started{0};  // GetTickCount at the start, 0 between inputs
std::wstring g_findings;
std::string g_reader;

void Keep(const char* what) {
    const std::string* input = g_current.load();
    const std::wstring path = g_findings + L"\\" + platform::WideFromUtf8(std::string(what) + "-" + g_reader + ".bin");
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (input) (void)::WriteFile(file, input->data(), static_cast<DWORD>(input->size()), &written, nullptr);
        ::CloseHandle(file);
    }
    std::fprintf(stdout, "%s: 1 %s, input kept in %s-%s.bin\n", g_reader.c_str(), what, what, g_reader.c_str());
    std::fflush(stdout);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stdout, "%s: exception 0x%08lX\n", g_reader.c_str(),
                 info ? static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode) : 0ul);
    Keep("crash");
    ::TerminateProcess(::GetCurrentProcess(), 2);
    return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void OnTerminate() {
    Keep("crash");
    ::TerminateProcess(::GetCurrentProcess(), 2);
    std::abort();
}

std::int64_t PrivateKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<std::int64_t>(counters.PagefileUsage / 1024);
}

// A watchdog by nature measures time: an input that runs longer than the limit is a hang.
class Watchdog {
public:
    explicit Watchdog(unsigned seconds) : limitMs_(seconds * 1000u), stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] {
            while (::WaitForSingleObject(stop_, 200) == WAIT_TIMEOUT) {
                const DWORD started = g_started.load();
                // Signed: the start is marked odd, so it may lie a tick after this reading.
                if (started != 0 && static_cast<LONG>(::GetTickCount() - started) > static_cast<LONG>(limitMs_)) {
                    Keep("hang");
                    ::TerminateProcess(::GetCurrentProcess(), 3);
                }
            }
        });
    }
    ~Watchdog() {
        ::SetEvent(stop_);
        thread_.join();
        ::CloseHandle(stop_);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    DWORD limitMs_;
    HANDLE stop_;
    std::thread thread_;
};

const char* const kNesting[] = {"[", "{\"a\":", "<a>", "(", "{", "[[", "<x y=\"1\">"};
const char* const kBadText[] = {"\xC3", "\xFF", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82",
                                "\x00\xD8", "\x00\xDC\x41\x00", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
const char* const kHuge[] = {"4294967295", "99999999999999999999999", "-2147483649", "1e999", "0x7FFFFFFF",
                             "\xFF\xFF\xFF\x7F", "\xFF\xFF\xFF\xFF", "\x00\x00\x00\x80", "18446744073709551615"};

}  // namespace

std::uint64_t Mutator::Next() noexcept {
    // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 2685821657736338717ull;
}

void Mutator::Once(std::string& input, const std::vector<std::string>& corpus) {
    const std::size_t at = Below(input.size() + 1);
    const auto insert = [&](std::string_view piece) { input.insert(at, piece.data(), piece.size()); };
    switch (Below(11)) {
        case 0:  // bit flips
            for (std::size_t n = 1 + Below(8); n > 0 && !input.empty(); --n)
                input[Below(input.size())] ^= static_cast<char>(1u << Below(8));
            break;
        case 1:  // truncation
            input.resize(at);
            break;
        case 2: {  // splice: this one's head with another seed's tail
            const std::string& other = corpus[Below(corpus.size())];
            input = input.substr(0, at) + other.substr(Below(other.size() + 1));
            break;
        }
        case 3: {  // a huge number or length field
            const char* huge = kHuge[Below(std::size(kHuge))];
            insert(std::string_view(huge, huge[0] == '\x00' || huge[0] == '\xFF' ? 4 : std::char_traits<char>::length(huge)));
            break;
        }
        case 4: {  // deep nesting
            const char* open = kNesting[Below(std::size(kNesting))];
            std::string deep;
            for (std::size_t n = 100 + Below(20000); n > 0; --n) deep += open;
            insert(deep);
            break;
        }
        case 5: {  // invalid UTF-8 and UTF-16
            const char* bad = kBadText[Below(std::size(kBadText))];
            const std::size_t length = bad[0] == '\x00' ? (bad[2] == '\x41' ? 4 : 2) : std::char_traits<char>::length(bad);
            insert(std::string_view(bad, length));
            break;
        }
        case 6:  // NUL bytes
            insert(std::string(1 + Below(4), '\0'));
            break;
        case 7: {  // a chunk repeated
            const std::size_t length = 1 + Below(std::min<std::size_t>(64, input.size() - std::min(at, input.size()) + 1));
            const std::string chunk = input.substr(std::min(at, input.size()), length);
            std::string repeated;
            for (std::size_t n = 2 + Below(2000); n > 0 && repeated.size() < (1u << 20); --n) repeated += chunk;
            insert(repeated);
            break;
        }
        case 8:  // a chunk cut out
            input.erase(at, 1 + Below(256));
            break;
        case 9:  // a byte set to a boundary value
            if (!input.empty()) input[Below(input.size())] = "\x00\x7F\x80\xFF\"\\=[]{}<>\r\n%;,"[Below(19)];
            break;
        default: {  // a line of another seed, somewhere else
            const std::string& other = corpus[Below(corpus.size())];
            const std::size_t from = Below(other.size() + 1);
            insert(other.substr(from, Below(200)));
        }
    }
    if (input.size() > kMaxInput) input.resize(kMaxInput);
}

std::string Mutator::Mutate(const std::vector<std::string>& corpus) {
    std::string input = corpus[Below(corpus.size())];
    for (std::size_t n = 1 + Below(4); n > 0; --n) Once(input, corpus);
    return input;
}

std::vector<std::string> LoadCorpus(const std::wstring& folder) {
    std::vector<std::string> seeds;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(folder + L"\\*", data)) return seeds;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (auto bytes = platform::ReadFileBytes(folder + L"\\" + data.cFileName)) seeds.push_back(std::move(*bytes));
    } while (finder.FindNext(data));
    return seeds;
}

std::vector<Figures> RunReaders(const std::vector<Reader>& readers, const std::vector<std::string>& only,
                                const RunOptions& options) {
    g_findings = options.findingsFolder;
    (void)::CreateDirectoryW(options.findingsFolder.c_str(), nullptr);
    (void)::CreateDirectoryW(options.scratchFolder.c_str(), nullptr);
    ::SetUnhandledExceptionFilter(OnCrash);
    std::set_terminate(OnTerminate);
    const Watchdog watchdog(options.hangSeconds);
    std::vector<Figures> all;
    std::uint64_t index = 0;
    for (const Reader& reader : readers) {
        ++index;
        if (!only.empty() && std::find(only.begin(), only.end(), reader.name) == only.end()) continue;
        g_reader = reader.name;
        std::vector<std::string> corpus = LoadCorpus(options.corpusFolder + L"\\" + platform::WideFromUtf8(reader.name));
        if (corpus.empty()) corpus.emplace_back();
        const std::wstring scratch = options.scratchFolder + L"\\" + platform::WideFromUtf8(reader.name);
        (void)::CreateDirectoryW(scratch.c_str(), nullptr);
        Mutator mutator(options.seed * 1000003ull + index);
        Figures figures;
        figures.reader = reader.name;
        const std::uint64_t warmUp = std::min<std::uint64_t>(options.inputsPerReader / 10, 1000);
        std::int64_t baseline = PrivateKb();
        for (std::uint64_t i = 0; i < options.inputsPerReader; ++i) {
            // The seeds first, as they are: the regression cases of what was found before.
            const std::string input = i < corpus.size() ? corpus[static_cast<std::size_t>(i)] : mutator.Mutate(corpus);
            g_current.store(&input);
            g_started.store(::GetTickCount() | 1u);
            try {
                reader.read(input, scratch);
            } catch (...) {
                ++figures.exceptions;
            }
            g_started.store(0);
            g_current.store(nullptr);
            ++figures.inputs;
            if (i + 1 == warmUp) baseline = PrivateKb();
        }
        figures.memoryGrowthKb = PrivateKb() - baseline;
        all.push_back(figures);
        std::fprintf(stdout, "%s: %llu inputs, %llu crashes, %llu hangs, %llu exceptions, memory %+lld KB\n", reader.name,
                     static_cast<unsigned long long>(figures.inputs), static_cast<unsigned long long>(figures.crashes),
                     static_cast<unsigned long long>(figures.hangs), static_cast<unsigned long long>(figures.exceptions),
                     static_cast<long long>(figures.memoryGrowthKb));
        std::fflush(stdout);
    }
    return all;
}

}  // namespace tarvo::fuzz
