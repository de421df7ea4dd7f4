// The export worker: every word of the dictionary, shortest lengths first,
// one per line, written in pieces of a little over 10000 characters.
#include <cerrno>
#include <cstring>

#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "maintenance/export_job.h"
#include "platform/atomic_replacement.h"
#include "platform/file.h"
#include "progress/progress_dlg.h"
#include "res/string_table.h"

namespace {

constexpr size_t kWriteThreshold = 10000;

}  // namespace

JobResult CExportJob::ExportThreadProc() {
    CProgressDlg& progress = *m_pProgressDlg;
    CFile* pFile = m_pTextFile.get();
    // Cancelled or failed: after telling why (the display still up), the
    // file (the temporary one beside the chosen file) is closed and removed,
    // so no partial output stays behind (never a device or pipe: see
    // AbortAndRemove).
    auto stop = [&](JobEnd end, Status cause = Status::Ok()) {
        if (!cause.Succeeded() && m_prompts.tell)
            m_prompts.tell(cause);
        pFile->AbortAndRemove();
        progress.m_bStopped.store(true);
        return JobResult{end, std::move(cause), Status::Ok()};
    };

    CDictionary dict(GetWorkDir());
    if (Status opened = dict.OpenForReading(); !opened)
        return stop(JobEnd::Failed, std::move(opened));
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
            // A block that cannot be found or decoded ends the export, its
            // message told: the rest would be one more message each, and the
            // output could never be the whole dictionary.
            if (Status seeked = dict.SeekToLength(nLength); !seeked)
                return stop(JobEnd::Failed, std::move(seeked));
            while (dict.NextWord(word)) {
                buffer += word;
                buffer += '\n';
                if (buffer.size() > kWriteThreshold)
                    writeBuffer();
                progress.SetPos(++nWritten);
                if (progress.m_bCancelRequested.load())
                    return stop(JobEnd::Cancelled);
            }
            if (dict.DamageFound())
                return stop(JobEnd::Failed, dict.Failure());
        }
        if (!buffer.empty())
            writeBuffer();
        // On disk before it takes the old file's place, so that after a
        // crash the file there is either the old one or the whole new one.
        pFile->Flush();
        pFile->Close();
        if (m_pOutputReplacement)
            m_pOutputReplacement->Replace(m_strTextPath);
    } catch (const CFileException& e) {
        // A reader that closed its pipe wants no more: no failure to report.
        if (e.m_lOsError == EPIPE)
            return stop(JobEnd::EndedByReader);
        return stop(JobEnd::Failed, Status::Message(IDS_CANNOT_WRITE_TEXT, MsgIcon::Stop, std::strerror(e.m_lOsError)));
    }
    progress.Complete();
    return {JobEnd::Done, Status::Ok(), Status::Ok()};
}
