#include "platform/message_box.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace {
std::mutex g_sinkMutex;
std::shared_ptr<MessageSink> g_sink;
}  // namespace

MessageSink SetMessageSink(MessageSink sink) {
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    MessageSink previous = g_sink ? *g_sink : MessageSink();
    g_sink = sink ? std::make_shared<MessageSink>(std::move(sink)) : nullptr;
    return previous;
}

int AfxMessageBox(UINT nID, const CString& text, MsgIcon icon, MsgButtons buttons) {
    std::shared_ptr<MessageSink> sink;
    {
        std::lock_guard<std::mutex> lock(g_sinkMutex);
        sink = g_sink;
    }
    if (sink)
        return (*sink)(nID, text, icon, buttons);
    std::fprintf(stderr, "%s\n", text.c_str());
    return buttons == MsgButtons::RetryCancel ? IDCANCEL : IDOK;
}
