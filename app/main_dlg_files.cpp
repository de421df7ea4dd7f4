// The load and save commands' file dialogs, and the progress window their
// jobs run behind.
#include "app/main_dlg.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

#include "app/progress_wnd.h"
#include "maintenance/accented_words.h"
#include "maintenance/export_job.h"
#include "maintenance/import_job.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "search/find_words.h"

namespace {

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||" as a file dialog's
// wildcard: no closing "||", and "*.*" as "*", because on this system a
// file's name need not have a dot to be a file.
wxString WildcardFromFilter(const CString& filter) {
    wxArrayString parts = wxSplit(wxString::FromUTF8(filter.c_str()), '|', '\0');
    while (!parts.empty() && parts.back().empty())
        parts.pop_back();
    for (size_t i = 1; i < parts.size(); i += 2)
        if (parts[i] == "*.*")
            parts[i] = "*";
    return wxJoin(parts, '|', '\0');
}

// The jobs' prompts as message boxes: what stopped a worker appears in
// front of the progress window, which stays up until it is answered.
JobPrompts MessageBoxPrompts() {
    JobPrompts prompts;
    prompts.tell = [](const Status& status) { ShowStatus(status); };
    prompts.ask = [](UINT nID, MsgIcon icon, MsgButtons buttons) { return AfxMessageBox(nID, icon, buttons); };
    return prompts;
}

// The file a file dialog was closed on. GTK's chooser can report the folder
// and name when it has no full path to give (as when it never showed).
CString ChosenPath(const wxFileDialog& dlg) {
    wxString path = dlg.GetPath();
    if (path.empty() && !dlg.GetFilename().empty())
        path = wxFileName(dlg.GetDirectory(), dlg.GetFilename()).GetFullPath();
    return CString(path.utf8_str());
}

}  // namespace

int CMainDlg::RunProgressModal(CProgressDlg& progress) {
    CProgressWnd window(this, progress);
    return window.RunModal();
}

UINT CMainDlg::ImportWordList(const CString& path, bool bFoldAccents) {
    ImportOptions options;
    options.bFoldAccents = bFoldAccents;
    CImportJob job(path, options);
    return ShowJobResult(
        job.Run([this](CProgressDlg& progress) { return RunProgressModal(progress); }, MessageBoxPrompts()));
}

void CMainDlg::OnLoadDictionary() {
    wxFileDialog dlg(this, "Open", wxString(), wxString(), WildcardFromFilter(LoadStringText(IDS_TEXT_FILTER)),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK)
        return;
    const CString path = ChosenPath(dlg);
    // A list with words that only folding their accents keeps (a French or
    // German one): asked once, folding being the default.
    const int64_t nAccented = CountWordsOnlyFoldingKeeps(path);
    const bool bFoldAccents =
        nAccented > 0 &&
        AfxMessageBox(IDS_FOLD_QUESTION,
                      FormatString(LoadStringText(IDS_FOLD_QUESTION).c_str(), FormatThousands(nAccented).c_str()),
                      MsgIcon::Information, MsgButtons::YesNoDefaultYes) != IDNO;
    ImportWordList(path, bFoldAccents);
}

void CMainDlg::OnSaveDictionary() {
    // The initial name carries the default extension, so that the overwrite
    // question is asked about the file that will be written.
    const wxString name = wxString::FromUTF8(
        FormatString("%s.%s", LoadStringText(IDS_DEFAULT_TEXT_NAME).c_str(), LoadStringText(IDS_TEXT_EXTENSION).c_str())
            .c_str());
    wxFileDialog dlg(this, "Save As", wxString(), name, WildcardFromFilter(LoadStringText(IDS_TEXT_FILTER)),
                     wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dlg.ShowModal() != wxID_OK)
        return;
    CExportJob job(ChosenPath(dlg));
    ShowJobResult(job.Run([this](CProgressDlg& progress) { return RunProgressModal(progress); }, MessageBoxPrompts()));
}
