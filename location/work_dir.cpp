#include "location/work_dir.h"

#include "platform/file_system.h"

namespace {
CString g_strWorkDir;
}

void RecordWorkDir() {
    g_strWorkDir = CurrentDirectory();
}

void SetWorkDir(const CString& dir) { g_strWorkDir = dir; }

void SetWorkDirForTesting(const CString& dir) { g_strWorkDir = dir; }

const CString& GetWorkDir() { return g_strWorkDir; }

CString WorkDirPath(const char* fileName) { return FormatString("%s/%s", g_strWorkDir.c_str(), fileName); }
