#pragma once
// The traces as the log manager's "Traces" page lists them: time, setup, the programs it
// installed and the number of items; one chosen, and deleted after the user's yes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sqlite_library.h"

namespace tarvo::trace {

struct TraceRow {
    std::int64_t id = 0;
    std::wstring time;
    std::wstring setup;     // the setup file's name
    std::wstring programs;  // the entries it installed, ", "-separated
    std::int64_t items = 0;
};

class TraceList {
public:
    // `sqlite` may be null or unloaded: the list is then empty.
    TraceList(std::wstring dataFolder, const platform::SqliteLibrary* sqlite);

    void Refresh();
    [[nodiscard]] const std::vector<TraceRow>& Items() const noexcept { return items_; }
    void Select(int index) noexcept { selected_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1; }
    [[nodiscard]] int Selected() const noexcept { return selected_; }
    [[nodiscard]] bool CanDelete() const noexcept { return selected_ >= 0; }
    [[nodiscard]] std::wstring DeleteQuestion() const;
    // Forgets the chosen trace (the program stays installed); the list is read again.
    bool DeleteSelected();

private:
    std::wstring dataFolder_;
    const platform::SqliteLibrary* sqlite_;
    std::vector<TraceRow> items_;
    int selected_ = -1;
};

}  // namespace tarvo::trace
