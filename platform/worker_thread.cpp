#include "platform/worker_thread.h"

#include <atomic>
#include <system_error>

namespace {
std::atomic<bool> g_failStarts{false};
}

std::jthread StartWorkerThread(std::function<void()> work) {
    if (g_failStarts.load())
        return std::jthread();
    try {
        return std::jthread(std::move(work));
    } catch (const std::system_error&) {
        return std::jthread();
    }
}

void SetThreadStartFailureForTesting(bool fail) { g_failStarts.store(fail); }
