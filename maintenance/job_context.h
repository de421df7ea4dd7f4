// The state that the import and export commands share with their worker
// thread. The desktop program's main dialog is one; the command-line tool
// makes its own. Every field is set before the worker starts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/cstring.h"

class CAtomicReplacement;
class CDictionary;
class CFile;
class CProgressDlg;
class CWordListFile;

struct CJobContext {
    CProgressDlg* m_pProgressDlg = nullptr;
    CFile* m_pTextFile = nullptr;
    // The export's output under a temporary name beside m_strTextPath, which
    // it replaces only once the export is complete; null when the output is
    // written where it is (standard output, a device, a pipe).
    CAtomicReplacement* m_pOutputReplacement = nullptr;
    CDictionary* m_pNewDict = nullptr;
    CWordListFile* m_pWordList = nullptr;
    CString m_strTextPath;
    // Why the text file could not be opened (the system's reason, or what
    // made it unsuitable), for callers that can say more than the message.
    CString m_strTextError;
    // Set by the import worker before it completes: the distinct words of
    // the new dictionary.
    int64_t m_nWordsImported = 0;
    // Set by the import command: read the word list as UTF-8 and fold its
    // accented letters to A-Z.
    bool m_bFoldAccents = false;
    // Set by the import worker when it folds: the lines skipped because
    // they were not UTF-8.
    int64_t m_nInvalidUtf8Lines = 0;
    // After an import: why the user's phrase file could not be written
    // (the dictionary itself was), or empty.
    std::string m_strPhraseError;
};

// What an import does when the word list gave no word at all, so that the
// new dictionary would hold none: ask before it replaces the old one (No is
// the default), refuse (message 59203), or go ahead.
enum class EmptyWordList { Ask, Refuse, Accept };

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
enum ExportExitCode : UINT {
    kExportComplete = 0,
    kExportOpenFailed = 1,
    kExportCancelled = 2,
    kExportWriteFailed = 3,
    kExportDamaged = 4,       // a damaged block: the export stopped at it
    kExportReaderGone = 5,    // the output is a pipe whose reader has closed it
};

// What the save command returns, instead of a message id, when the export
// ended quietly because the output's reader went away (a closed pipe, as in
// `export - | head`): that is how other tools end then too, with no message.
inline constexpr UINT kExportEndedByReader = 0;

// The load command after its file dialog: imports `path` and, when the
// worker completes, puts the new dictionary in place. Returns the id of the
// last message shown: 59151 on success, 59152 after a cancel (or after the
// user chose to keep the old dictionary rather than an empty one), the
// refusal of a list too large for the format or of one without words, or
// the failure message. With bAskRetry false a failed
// replacement is reported once with message 59166 and not retried.
UINT OnLoadDictionaryFile(CJobContext& job, const CString& path, const ModalRunner& runModal, bool bAskRetry = true,
                          EmptyWordList emptyList = EmptyWordList::Ask);

// The save command after its file dialog: creates `path` and exports the
// dictionary into it. Returns the id of the last message shown: 59149 on
// success, 59150 after a cancel, kExportEndedByReader, else the failure
// message.
UINT OnSaveDictionaryFile(CJobContext& job, const CString& path, const ModalRunner& runModal);

// The export with job.m_pTextFile already open (for example on stdout); the
// job takes ownership of that file object.
UINT RunExportJob(CJobContext& job, const ModalRunner& runModal);
