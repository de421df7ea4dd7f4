// The worker-thread starter: one thread running a thread function with one
// parameter, as the import and export commands use it.
#pragma once

#include <memory>
#include <thread>

#include "platform/cstring.h"

using AFX_THREADPROC = UINT (*)(void* pParam);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, void* param);
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    // Waits for the thread function to return.
    ~CWinThread();
    void Join();
    // What the thread function returned; valid after Join.
    UINT ExitCode() const { return m_nExitCode; }

private:
    UINT m_nExitCode = 0;  // set by the thread before it ends, read after Join
    std::thread m_thread;
};

// Starts `proc(param)` on a new thread; null when no thread could be started.
std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param);

// Tests: make the next thread starts fail, as when the system has no threads left.
void SetThreadStartFailureForTesting(bool fail);
