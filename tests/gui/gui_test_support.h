// Helpers for the desktop program's tests: real windows under Xvfb, driven
// in-process. Modal dialogs are answered through wxWidgets' test hook; a
// progress window is let through to run for real.
#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <wx/msgdlg.h>
#include <wx/generic/msgdlgg.h>
#include <wx/filedlg.h>
#include <wx/testing.h>

#include "platform/message_box.h"

// Modal dialogs inside wxTEST_DIALOG: every expectation failure becomes a
// test failure; CProgressWnd is not intercepted, so that jobs really run.
class GuiTestHook : public wxTestingModalHook {
public:
    GuiTestHook(const char* file, int line, const char* func) : wxTestingModalHook(file, line, func) {}

protected:
    int Enter(wxDialog* dlg) override;
    void ReportFailure(const wxString& msg) override;
};
#undef wxTEST_DIALOG_HOOK_CLASS
#define wxTEST_DIALOG_HOOK_CLASS GuiTestHook

// Expects one of the program's message boxes: its text (string-table entry
// nID), the program's title as caption, its icon and buttons; answers with
// `answer` (wxID_OK, or wxID_CANCEL for Cancel, in a Retry/Cancel box;
// wxID_YES or wxID_NO in a Yes/No box, whose default must be No).
class ExpectMessage : public wxExpectModalBase<wxGenericMessageDialog, ExpectMessage> {
public:
    ExpectMessage(UINT nID, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok, int answer = wxID_OK);
    // An entry with placeholders: the text it is expected to show, filled in.
    // A new expectation, not a reference: wxTEST_DIALOG binds it to a const
    // reference, which keeps only a temporary alive.
    ExpectMessage WithText(std::string text) const {
        ExpectMessage expectation = *this;
        expectation.m_text = std::move(text);
        return expectation;
    }

protected:
    int OnInvoked(wxGenericMessageDialog* dlg) const override;
    wxString GetDefaultDescription() const override;

private:
    UINT m_nID;
    MsgIcon m_icon;
    MsgButtons m_buttons;
    int m_answer;
    std::string m_text;
};

// Expects a file dialog: checks its style flags and returns `path` (or
// cancels when `path` is empty).
class ExpectFileDialog : public wxExpectModalBase<wxFileDialog, ExpectFileDialog> {
public:
    ExpectFileDialog(long requiredStyle, const wxString& path, const wxString& expectedName = wxString());

protected:
    int OnInvoked(wxFileDialog* dlg) const override;

private:
    long m_style;
    wxString m_path;
    wxString m_name;
};

// Processes pending events until `done` holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Processes pending events for a while (for GTK to draw and settle).
void Settle(int ms = 50);

// The program's title as message boxes show it (the test binary's name).
wxString ExpectedTitle();
