#include "platform/file_faults.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace {
std::mutex g_hookMutex;
std::shared_ptr<FileFaultHook> g_hook;
std::atomic<bool> g_hookInstalled{false};
}  // namespace

void SetFileFaultHook(FileFaultHook hook) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_hook = std::make_shared<FileFaultHook>(std::move(hook));
    g_hookInstalled.store(true);
}

void ClearFileFaultHook() {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_hook.reset();
    g_hookInstalled.store(false);
}

bool ShouldFailFileOp(FileOp op, const std::string& path) {
    if (!g_hookInstalled.load(std::memory_order_relaxed))
        return false;
    std::shared_ptr<FileFaultHook> hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_hook;
    }
    return hook && (*hook)(op, path);
}
