// Starts a job's worker thread. The caller owns the thread it gets back and
// joins it (or lets it join itself when it goes out of scope).
#pragma once

#include <functional>
#include <thread>

// Starts `work` on a new thread; the thread returned is not joinable when
// none could be started (the system has no threads left).
std::jthread StartWorkerThread(std::function<void()> work);

// Tests: make the next thread starts fail, as when the system has no threads left.
void SetThreadStartFailureForTesting(bool fail);
