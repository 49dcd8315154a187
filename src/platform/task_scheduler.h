#pragma once
// The Task Scheduler: taking a scheduled task away through the scheduler's own interface
// (ITaskService, Vista and later), so that it forgets the task the way it expects rather than
// finding its file and cache keys gone behind its back.

#include <string>

namespace tarvo::platform {

enum class TaskDeletion {
    Deleted,      // the scheduler took it away
    NotFound,     // the scheduler knows no such task
    Unavailable,  // no scheduler interface here (XP) or it could not be reached
    Failed,       // the scheduler refused
};

// `taskPath`: the task's full name below the root folder, "\Vendor\Updater" (a leading
// backslash is added when missing). COM must be initialised on the calling thread.
[[nodiscard]] TaskDeletion DeleteScheduledTask(const std::wstring& taskPath) noexcept;

}  // namespace tarvo::platform
