// The state that the import and export commands share with their worker
// thread. The desktop program's main dialog is one; the command-line tool
// makes its own. Every field is set before the worker starts.
#pragma once

#include <functional>
#include <string>

#include "platform/cstring.h"

class CDictionary;
class CFile;
class CProgressDlg;
class CWordListFile;

struct CJobContext {
    CProgressDlg* m_pProgressDlg = nullptr;
    CFile* m_pTextFile = nullptr;
    CDictionary* m_pNewDict = nullptr;
    CWordListFile* m_pWordList = nullptr;
    CString m_strTextPath;
    // Why the text file could not be opened (the system's reason, or what
    // made it unsuitable), for callers that can say more than the message.
    CString m_strTextError;
    // After an import: why the user's phrase file could not be written
    // (the dictionary itself was), or empty.
    std::string m_strPhraseError;
};

// Runs the progress display modally until the worker completes (IDOK) or
// stops (IDCANCEL): a dialog in the desktop program, a status line in the
// command-line tool.
using ModalRunner = std::function<int(CProgressDlg&)>;

// Worker thread functions; pParam is the CJobContext.
UINT ImportThreadProc(void* pParam);
UINT ExportThreadProc(void* pParam);

// Exit codes of the workers.
enum ImportExitCode : UINT {
    kImportComplete = 0,
    kImportMeasureFailed = 1,
    kImportCancelledPhase1 = 2,
    kImportPhase2Failed = 3,
    kImportCancelledPhase2 = 4,
    kImportPhase3Failed = 5,
    kImportCancelledPhase3 = 6,
    kImportCancelledPhase4 = 7,
    kImportCancelledPhase5 = 8,
    kImportWordListChanged = 9,
    kImportTooLarge = 10,
    kImportWriteFailed = 11,
    kImportReadFailed = 12,
};
enum ExportExitCode : UINT { kExportComplete = 0, kExportOpenFailed = 1, kExportCancelled = 2, kExportWriteFailed = 3 };

// The load command after its file dialog: imports `path` and, when the
// worker completes, puts the new dictionary in place. Returns the id of the
// last message shown (59151 on success). With bAskRetry false a failed
// replacement is reported once with message 59166 and not retried.
UINT OnLoadDictionaryFile(CJobContext& job, const CString& path, const ModalRunner& runModal, bool bAskRetry = true);

// The save command after its file dialog: creates `path` and exports the
// dictionary into it. Returns the id of the last message shown (59149 on
// success).
UINT OnSaveDictionaryFile(CJobContext& job, const CString& path, const ModalRunner& runModal);

// The export with job.m_pTextFile already open (for example on stdout); the
// job takes ownership of that file object.
UINT RunExportJob(CJobContext& job, const ModalRunner& runModal);
