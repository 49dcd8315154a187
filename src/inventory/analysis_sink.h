#pragma once
// What the analysis thread needs from the program list that shows its results. The programs
// page implements it; tests implement it with a recording fake.

#include <windows.h>

#include <cstddef>
#include <functional>

#include "inventory/soft_info.h"

namespace tarvo::inventory {

class IAnalysisSink {
public:
    // Worker thread. Runs `step` on the user-interface thread and returns once it has run.
    // A sink whose window is going away may drop the step instead; it must not block
    // forever then. `step` never throws.
    virtual void Synchronize(const std::function<void()>& step) = 0;

    // Worker thread. Whether the list has image lists to take icons; when it has none, no
    // icon is extracted. The answer must not change while the thread runs.
    [[nodiscard]] virtual bool WantsIcons() const = 0;

    // User-interface thread, inside a step. Adds the small icon to the small image list and
    // the large icon to the large one (the list copies them; the caller frees its handles)
    // and returns the small list's count - 1, or 0 when nothing was added.
    virtual int AddIcons(HICON small, HICON large) = 0;

    // User-interface thread, inside a step. The rows showing entry `index` (by the list's
    // hidden index column) take the entry's image index, size text and install-date text,
    // and lose their usage text; a row that fails is skipped.
    virtual void UpdateRows(std::size_t index, const TSoftInfo& entry) = 0;

protected:
    ~IAnalysisSink() = default;
};

}  // namespace tarvo::inventory
