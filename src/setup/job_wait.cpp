#include "setup/job_wait.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/messages.h"

namespace tarvo::setup {

void RunJobWhilePumping(const std::function<void()>& job) {
    std::atomic<bool> done{false};
    std::thread worker([&job, &done] {
        try {
            job();
        } catch (...) {
            // Failures of the job are its own to report; the wait only needs the end.
        }
        done.store(true, std::memory_order_release);
    });
    while (!done.load(std::memory_order_acquire)) {
        ::Sleep(10);
        platform::PumpWaitingMessages();
    }
    worker.join();
}

}  // namespace tarvo::setup
