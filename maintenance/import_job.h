// CImportJob: the load command's work after its file dialog. It opens the
// word list and the new dictionary file, runs the import worker behind the
// progress display, and puts the new dictionary in place of the old one. The
// job owns every part it makes; they go when the job goes, so a front end
// shows the result while the job still exists (a dictionary.$$$ that was not
// used is removed after the last message, as the old one's replacement is).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "maintenance/job_result.h"
#include "platform/cstring.h"

class CDictionary;
class CProgressDlg;
class CWordListFile;

// What an import does when the word list gave no word at all, so that the
// new dictionary would hold none: ask before it replaces the old one (No is
// the default), refuse (message 59203), or go ahead.
enum class EmptyWordList { Ask, Refuse, Accept };

struct ImportOptions {
    // Read the word list as UTF-8 and fold its accented letters to A-Z.
    bool bFoldAccents = false;
    EmptyWordList emptyList = EmptyWordList::Ask;
};

class CImportJob {
public:
    CImportJob(CString path, ImportOptions options);
    ~CImportJob();
    CImportJob(const CImportJob&) = delete;
    CImportJob& operator=(const CImportJob&) = delete;

    // Runs the whole import once. Its closing message is 59151 when the new
    // dictionary is in place, 59152 after a cancel (or when the user chose
    // to keep the old dictionary rather than an empty one), the refusal of
    // a list too large for the format or of one without words, or the
    // failure message. The prompts ask whether to keep an empty dictionary
    // (59202) and whether to retry a failed replacement (59166); a job that
    // may not ask keeps no empty dictionary under EmptyWordList::Ask and
    // reports a failed replacement once.
    JobResult Run(const ModalRunner& runModal, const JobPrompts& prompts = JobPrompts());

    // The progress the worker reports; it exists for the job's whole life.
    CProgressDlg& Progress() { return *m_pProgressDlg; }
    const CString& TextPath() const { return m_strTextPath; }
    // After Run: the distinct words of the new dictionary.
    int64_t WordsImported() const { return m_nWordsImported; }
    // After Run with folding: the lines skipped because they were not UTF-8.
    int64_t InvalidUtf8Lines() const { return m_nInvalidUtf8Lines; }
    // After Run: why the user's phrase file could not be written (the
    // dictionary itself was), or empty.
    const std::string& PhraseError() const { return m_strPhraseError; }

private:
    // The worker: five phases over the word list, writing dictionary.$$$.
    // It closes both files and destroys the reader on every path.
    JobResult ImportThreadProc();
    // The command's result after the worker has ended early.
    JobResult Stopped(JobResult worker) const;
    // Asks `nID` with `buttons`; without a way to ask, the answer is `unasked`.
    int Ask(UINT nID, MsgButtons buttons, int unasked) const;

    ImportOptions m_options;
    JobPrompts m_prompts;
    CString m_strTextPath;
    std::unique_ptr<CProgressDlg> m_pProgressDlg;
    std::unique_ptr<CWordListFile> m_pWordList;
    std::unique_ptr<CDictionary> m_pNewDict;
    int64_t m_nWordsImported = 0;
    int64_t m_nInvalidUtf8Lines = 0;
    std::string m_strPhraseError;
};
