#pragma once
// Made-up installed programs for the widget gallery: names, publishers, sizes and dates that
// look like a real machine's, generated the same way on every run.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::gallery {

struct FakeProgram {
    std::wstring name;
    std::wstring publisher;
    std::uint64_t size = 0;
    int daysAgo = 0;       // installed this many days before today; -1: no date
    int icon = 0;
    bool update = false;   // listed under Windows Updates
    bool rarelyUsed = false;
    bool checked = false;
};

[[nodiscard]] std::vector<FakeProgram> MakeFakePrograms(int count, int iconCount);
[[nodiscard]] std::wstring SizeText(std::uint64_t bytes);
[[nodiscard]] std::wstring DateText(int daysAgo);

}  // namespace tarvo::gallery
