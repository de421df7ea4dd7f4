#include "app/gui_messages.h"

#include <algorithm>
#include <future>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/generic/msgdlgg.h>
#include <wx/stdpaths.h>
#include <wx/textwrapper.h>
#include <wx/thread.h>
#include <wx/toplevel.h>

#include "location/work_dir.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"

namespace {

// The window a message box belongs to: the newest modal dialog (a progress
// dialog in front of the main dialog, for example), else the active window,
// else the program's top window.
wxWindow* MessageParent() {
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it) {
        auto* dlg = wxDynamicCast(*it, wxDialog);
        if (dlg && dlg->IsModal() && dlg->IsShown() && !dlg->IsBeingDeleted())
            return dlg;
    }
    if (wxWindow* active = wxGetActiveWindow())
        return wxGetTopLevelParent(active);
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

// Breaks a long message into lines of at most `widthMax` pixels, as message
// boxes do, so that no box is wider than the screen.
class LineBreaker : public wxTextWrapper {
public:
    wxString Wrap(wxWindow* win, const wxString& text, int widthMax) {
        m_text.clear();
        wxTextWrapper::Wrap(win, text, widthMax);
        return m_text;
    }

protected:
    void OnOutputLine(const wxString& line) override { m_text += line; }
    void OnNewLine() override { m_text += '\n'; }

private:
    wxString m_text;
};

int ShowOnGuiThread(UINT nID, const CString& text, MsgIcon icon, MsgButtons buttons) {
    const wxString message = MessageText(nID, text);
    if (wxThread::IsMain())
        return ShowMessageBox(message, icon, buttons);
    // The worker waits here until the user-interface thread has shown the box
    // and the user has answered it.
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> result = answer->get_future();
    wxTheApp->CallAfter([answer, message, icon, buttons]() {
        answer->set_value(ShowMessageBox(message, icon, buttons));
    });
    return result.get();
}

}  // namespace

wxString MessageText(UINT nID, const CString& text) {
    wxString message = wxString::FromUTF8(text.c_str());
    if (nID != IDS_CANNOT_OPEN_DICT && nID != IDS_NO_LONGEST_LENGTH)
        return message;
    // A missing or empty dictionary: where it was looked for, and how to
    // make one, as the command-line tool says too.
    wxString menuItem = wxString::FromUTF8(LoadStringText(IDS_LOAD_DICTIONARY).c_str());
    menuItem.Replace("&", "");
    message << "\n\nGridwell looked for the dictionary at:\n"
            << wxString::FromUTF8(WorkDirPath("dictionary.dat").c_str())
            << "\n\nTo make one from a word list (a text file with one word on each line), choose \"" << menuItem
            << "\" in the program menu (the Menu button, or Alt+Space).";
    return message;
}

wxString AppTitleFor(const wxString& exeName) {
    const wxString caption = tmpl::main_dlg::kCaption;
    return exeName.IsSameAs(caption, false) ? caption : exeName;
}

wxString GetAppTitle() {
    return AppTitleFor(wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetName());
}

int ShowMessageBox(const wxString& text, MsgIcon icon, MsgButtons buttons) {
    long style = wxCENTRE;
    switch (icon) {
    case MsgIcon::Stop:
        style |= wxICON_ERROR;
        break;
    case MsgIcon::Exclamation:
        style |= wxICON_EXCLAMATION;
        break;
    case MsgIcon::Information:
        style |= wxICON_INFORMATION;
        break;
    }
    style |= buttons == MsgButtons::RetryCancel ? (wxOK | wxCANCEL)
             : buttons == MsgButtons::YesNo     ? (wxYES_NO | wxNO_DEFAULT)
             : buttons == MsgButtons::YesNoDefaultYes ? (wxYES_NO | wxYES_DEFAULT)
                                                : wxOK;
    wxWindow* parent = MessageParent();
    wxString shown = text;
    if (parent) {
        const int widthMax = std::min(parent->FromDIP(560), wxGetDisplaySize().x * 3 / 4);
        shown = LineBreaker().Wrap(parent, text, widthMax);
    }
    // The generic dialog: GTK's own message box draws none of the three icons.
    wxGenericMessageDialog dlg(parent, shown, GetAppTitle(), style);
    if (buttons == MsgButtons::RetryCancel) {
        dlg.SetOKCancelLabels(wxMessageDialogBase::ButtonLabel("&Retry"),
                              wxMessageDialogBase::ButtonLabel("Cancel"));
        return dlg.ShowModal() == wxID_OK ? IDRETRY : IDCANCEL;
    }
    if (buttons == MsgButtons::YesNo)
        return dlg.ShowModal() == wxID_YES ? IDYES : IDNO;
    if (buttons == MsgButtons::YesNoDefaultYes)
        return dlg.ShowModal() == wxID_NO ? IDNO : IDYES;
    dlg.ShowModal();
    return IDOK;
}

void InstallGuiMessageSink() { SetMessageSink(ShowOnGuiThread); }
