// The export worker: every word of the dictionary, shortest lengths first,
// one per line, written in pieces of a little over 10000 characters.
#include "dictionary/dictionary.h"
#include "maintenance/job_context.h"
#include "platform/message_box.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

constexpr size_t kWriteThreshold = 10000;

// Closes and destroys the output; removes it only when it is a regular file
// that this export created or emptied, never a device or pipe.
void DiscardOutput(CFile* pFile, const CString& path) {
    const bool removable = pFile->OpenedRegularFile();
    pFile->Abort();
    delete pFile;
    if (removable) {
        try {
            CFile::Remove(path);
        } catch (const CFileException&) {
        }
    }
}

}  // namespace

UINT ExportThreadProc(void* pParam) {
    CJobContext& job = *static_cast<CJobContext*>(pParam);
    CProgressDlg& progress = *job.m_pProgressDlg;
    CFile* pFile = job.m_pTextFile;
    const CString path = job.m_strTextPath;

    CDictionary dict;
    if (!dict.OpenForReading()) {
        pFile->Abort();
        delete pFile;
        progress.m_bStopped.store(true);
        return kExportOpenFailed;
    }
    const int nLongest = dict.GetMaxLength();
    progress.SetRange(0, 100, 1, dict.GetTotalWords());

    CString buffer;
    buffer.reserve(kWriteThreshold + 512);
    CString word;
    int64_t nWritten = 0;
    auto writeBuffer = [&]() {
        pFile->Write(buffer.data(), static_cast<unsigned>(buffer.size()));
        buffer.clear();
    };
    try {
        for (int nLength = 2; nLength <= nLongest; ++nLength) {
            progress.SetStatus(FormatString(LoadStringText(IDS_WRITING_LENGTH).c_str(), nLength));
            int nResultCount = 0;
            if (!dict.PrepareSearch(FALSE, FormatString("%d", nLength), CString(), FALSE, nResultCount))
                continue;
            while (dict.NextMatch(word, TRUE)) {
                buffer += word;
                buffer += '\n';
                if (buffer.size() > kWriteThreshold)
                    writeBuffer();
                progress.SetPos(++nWritten);
                if (progress.m_bCancelRequested.load()) {
                    DiscardOutput(pFile, path);
                    progress.m_bStopped.store(true);
                    return kExportCancelled;
                }
            }
        }
        if (!buffer.empty())
            writeBuffer();
        pFile->Close();
    } catch (const CFileException&) {
        AfxMessageBox(IDS_CANNOT_WRITE_TEXT, MsgIcon::Stop);
        DiscardOutput(pFile, path);
        progress.m_bStopped.store(true);
        return kExportWriteFailed;
    }
    delete pFile;
    progress.Complete();
    return kExportComplete;
}
