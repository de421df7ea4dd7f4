#include "app/work_dir.h"

#include <climits>
#include <unistd.h>

namespace {
CString g_strWorkDir;
}

void RecordWorkDir() {
    char buffer[PATH_MAX];
    g_strWorkDir = ::getcwd(buffer, sizeof buffer) ? CString(buffer) : CString();
}

void SetWorkDir(const CString& dir) { g_strWorkDir = dir; }

void SetWorkDirForTesting(const CString& dir) { g_strWorkDir = dir; }

const CString& GetWorkDir() { return g_strWorkDir; }

CString WorkDirPath(const char* fileName) { return FormatString("%s/%s", g_strWorkDir.c_str(), fileName); }
