// Status: what an engine operation reports instead of showing a message box
// itself. It names the string-table message that says what went wrong (0 when
// nothing did), the icon that message is shown with, and a detail that a
// caller able to say more may add (the system's reason, a path). A job's
// closing message, success included, is carried the same way. The front
// ends decide where and when it is shown.
#pragma once

#include <utility>

#include "platform/cstring.h"
#include "platform/message_box.h"

struct Status {
    UINT nMessage = 0;
    MsgIcon icon = MsgIcon::Stop;
    CString detail;

    static Status Ok() { return {}; }
    static Status Message(UINT nMessage, MsgIcon icon, CString detail = CString()) {
        return {nMessage, icon, std::move(detail)};
    }
    bool Succeeded() const { return nMessage == 0; }
    // True when nothing went wrong: `if (!reader.MeasureAndRewind(n))`.
    explicit operator bool() const { return Succeeded(); }
    bool operator==(const Status&) const = default;
};
