#include "platform/worker_thread.h"

#include <atomic>
#include <system_error>

namespace {
std::atomic<bool> g_failStarts{false};
}

CWinThread::CWinThread(AFX_THREADPROC proc, void* param)
    : m_thread([this, proc, param] { m_nExitCode = proc(param); }) {}

CWinThread::~CWinThread() { Join(); }

void CWinThread::Join() {
    if (m_thread.joinable())
        m_thread.join();
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param) {
    if (g_failStarts.load())
        return nullptr;
    try {
        return std::make_unique<CWinThread>(proc, param);
    } catch (const std::system_error&) {
        return nullptr;
    }
}

void SetThreadStartFailureForTesting(bool fail) { g_failStarts.store(fail); }
