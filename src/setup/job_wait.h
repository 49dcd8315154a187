#pragma once

#include <functional>

namespace tarvo::setup {

// Runs a job on a worker thread while this thread keeps handling its window messages
// (sleep 10 ms, then pump), until the job reports completion. A job that throws still
// completes: start-up must go on.
void RunJobWhilePumping(const std::function<void()>& job);

}  // namespace tarvo::setup
