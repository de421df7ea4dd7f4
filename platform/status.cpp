#include "platform/status.h"

int ShowStatus(const Status& status) {
    if (status.Succeeded())
        return IDOK;
    return AfxMessageBox(status.nMessage, status.icon);
}
