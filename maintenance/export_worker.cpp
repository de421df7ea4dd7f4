// The export worker: every word of the dictionary, shortest lengths first,
// one per line, written in pieces of a little over 10000 characters.
#include <cerrno>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/job_context.h"
#include "platform/atomic_replacement.h"
#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

constexpr size_t kWriteThreshold = 10000;

// A cancelled or failed export leaves no partial output behind: the file
// (the temporary one beside the chosen file) is closed, destroyed and
// removed (never a device or pipe: see AbortAndRemove).
void DiscardOutput(CFile* pFile) {
    pFile->AbortAndRemove();
    delete pFile;
}

}  // namespace

UINT ExportThreadProc(void* pParam) {
    CJobContext& job = *static_cast<CJobContext*>(pParam);
    CProgressDlg& progress = *job.m_pProgressDlg;
    CFile* pFile = job.m_pTextFile;

    CDictionary dict(GetWorkDir());
    if (!dict.OpenForReading()) {
        DiscardOutput(pFile);
        progress.m_bStopped.store(true);
        return kExportOpenFailed;
    }
    const int nLongest = dict.GetMaxLength();
    progress.SetRange(0, 100, 1, dict.GetTotalWords());

    CString buffer;
    buffer.reserve(kWriteThreshold + 512);
    CString word;
    int64_t nWritten = 0;
    // Cancelled or failed: no partial output stays behind.
    auto stop = [&](ExportExitCode code) {
        DiscardOutput(pFile);
        progress.m_bStopped.store(true);
        return code;
    };
    auto writeBuffer = [&]() {
        pFile->Write(buffer.data(), static_cast<unsigned>(buffer.size()));
        buffer.clear();
    };
    try {
        for (int nLength = 2; nLength <= nLongest; ++nLength) {
            progress.SetStatus(FormatString(LoadStringText(IDS_WRITING_LENGTH).c_str(), nLength));
            // A block that cannot be found or decoded (its message shown) ends
            // the export: the rest would be one more message each, and the
            // output could never be the whole dictionary.
            if (!dict.SeekToLength(nLength))
                return stop(kExportDamaged);
            while (dict.NextWord(word)) {
                buffer += word;
                buffer += '\n';
                if (buffer.size() > kWriteThreshold)
                    writeBuffer();
                progress.SetPos(++nWritten);
                if (progress.m_bCancelRequested.load())
                    return stop(kExportCancelled);
            }
            if (dict.DamageFound())
                return stop(kExportDamaged);
        }
        if (!buffer.empty())
            writeBuffer();
        // On disk before it takes the old file's place, so that after a
        // crash the file there is either the old one or the whole new one.
        pFile->Flush();
        pFile->Close();
        if (job.m_pOutputReplacement)
            job.m_pOutputReplacement->Replace(job.m_strTextPath);
    } catch (const CFileException& e) {
        // A reader that closed its pipe wants no more: no failure to report.
        if (e.m_lOsError == EPIPE)
            return stop(kExportReaderGone);
        AfxMessageBox(IDS_CANNOT_WRITE_TEXT, MsgIcon::Stop);
        return stop(kExportWriteFailed);
    }
    delete pFile;
    progress.Complete();
    return kExportComplete;
}
