#include "app/main_dlg.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dataview.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "app/about_dlg.h"
#include "app/accessibility.h"
#include "app/dialog_layout.h"
#include "app/help_book.h"
#include "app/meaning_wnd.h"
#include "app/progress_wnd.h"
#include "app/solutions_list.h"
#include "dictionary/dictionary.h"
#include "search/find_words.h"
#include "search/search_history.h"
#include "platform/message_box.h"
#include "res/dialog_templates.h"
#include "res/gui_images.h"
#include "res/string_table.h"
#include "wordnet/related_matches.h"

namespace t = tmpl::main_dlg;
using namespace tmpl::sys_cmd;

namespace {

// Controls hold at most 254 characters of a query, as typed.
constexpr size_t kMaxQueryText = 254;
// The solutions' menu item that opens the Meaning window.
constexpr int kMeaningMenuId = wxID_HIGHEST + 1;
constexpr const char* kMenuButtonText = "Menu";
// Keyboard move: pixels per arrow key press, and with Ctrl held.
constexpr int kMoveStep = 8;
constexpr int kMoveFineStep = 1;

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

// The file a file dialog was closed on. GTK's chooser can report the folder
// and name when it has no full path to give (as when it never showed).
CString ChosenPath(const wxFileDialog& dlg) {
    wxString path = dlg.GetPath();
    if (path.empty() && !dlg.GetFilename().empty())
        path = wxFileName(dlg.GetDirectory(), dlg.GetFilename()).GetFullPath();
    return CString(path.utf8_str());
}

// A bare-bones scope flag for the history's own changes to the combo box.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_old; }

private:
    bool& m_flag;
    bool m_old;
};

}  // namespace

CMainDlg::CMainDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, t::kCaption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX) {
    SetIcons(LoadAppIconBundle());
    CreateControls();
    BuildProgramMenu();

    SetEscapeId(t::IDC_EXIT);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFind(); }, t::IDC_FIND);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, t::IDC_EXIT);
    Bind(wxEVT_BUTTON, &CMainDlg::OnHelpButton, this, wxID_HELP);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowProgramMenu(); }, m_pMenuButton->GetId());
    m_pPattern->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent&) { OnSelChangePattern(); });
    m_pPattern->Bind(wxEVT_COMBOBOX_DROPDOWN, [this](wxCommandEvent&) { OnDropDownPattern(); });
    m_pPattern->Bind(wxEVT_COMBOBOX_CLOSEUP, [this](wxCommandEvent&) { OnCloseUpPattern(); });
    Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
        if (event.GetId() == wxID_COPY)
            CopySelectedSolutions();
        else if (event.GetId() == wxID_SELECTALL)
            SelectAllSolutions();
        else if (event.GetId() == kMeaningMenuId)
            ShowMeaning();
        else
            OnSysCommand(CommandOfMenuId(event.GetId()));
    });
    Bind(wxEVT_CHAR_HOOK, &CMainDlg::OnCharHook, this);
    // The list takes its own right clicks; they open the solutions' menu.
    m_pSolutions->Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU,
                       [this](wxDataViewEvent&) { ShowSolutionsMenu(ScreenToClient(wxGetMousePosition())); });
    // A double click or Enter on a solution shows its meaning; while the
    // Meaning window is open it follows the selection.
    m_pSolutions->Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED, [this](wxDataViewEvent&) { ShowMeaning(); });
    m_pSolutions->Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent& event) {
        OnSolutionSelected();
        event.Skip();
    });
    Bind(wxEVT_CONTEXT_MENU, &CMainDlg::OnContextMenu, this);
    Bind(wxEVT_ICONIZE, &CMainDlg::OnIconize, this);
    Bind(wxEVT_CLOSE_WINDOW, &CMainDlg::OnCloseWindow, this);

    // Centred on the screen; Matching word and the limit checked; the focus
    // in the pattern box.
    Centre(wxBOTH);
    m_pMatching->SetValue(true);
    m_pLimit->SetValue(true);
    m_pPattern->SetFocus();
}

CMainDlg::~CMainDlg() {
    // The Help Topics window belongs to this dialog's life.
    TheHelpBook().Close();
}

void CMainDlg::CreateControls() {
    CDialogLayout layout(this);
    // Creation order is the template's: tab order, and each label just before
    // its control so that screen readers and mnemonics find the control.
    auto* box = new wxStaticBox(this, wxID_ANY, t::kSearchTypeText);
    m_pMatching = new wxRadioButton(this, t::IDC_MATCHING, t::kMatchingText, wxDefaultPosition, wxDefaultSize,
                                    wxRB_GROUP);
    m_pAnagram = new wxRadioButton(this, t::IDC_ANAGRAM, t::kAnagramText);
    m_pLimit = new wxCheckBox(this, t::IDC_LIMIT, t::kLimitText);
    auto* patternLabel = new wxStaticText(this, wxID_ANY, t::kPatternLabelText);
    m_pPattern = new wxComboBox(this, t::IDC_PATTERN, wxString(), wxDefaultPosition, wxDefaultSize, 0, nullptr,
                                wxCB_DROPDOWN);
    auto* lettersLabel = new wxStaticText(this, wxID_ANY, t::kLettersLabelText);
    m_pLetters = new wxTextCtrl(this, t::IDC_LETTERS, wxString());
    auto* clueLabel =
        new wxStaticText(this, wxID_ANY, wxString::FromUTF8(LoadStringText(IDS_CLUE_WORDS_LABEL).c_str()));
    m_pClue = new wxTextCtrl(this, t::IDC_CLUE, wxString());
    auto* solutionsLabel = new wxStaticText(this, wxID_ANY, t::kSolutionsLabelText);
    const wxRect listRect = layout.ToPixels(t::kSolutions);
    m_pSolutions = new CSolutionsList(this, t::IDC_SOLUTIONS, listRect.GetPosition(), listRect.GetSize());
    // The count line follows the list it counts, for screen readers too.
    m_pCount = new wxStaticText(this, t::IDC_COUNT, wxString(), wxDefaultPosition, wxDefaultSize,
                                wxST_NO_AUTORESIZE);
    // The option of the bottom row comes after the list and its count, so
    // Tab from the remaining letters still reaches the rows.
    m_pCommon = new wxCheckBox(this, t::IDC_COMMON, t::kCommonText);
    m_pFind = new wxButton(this, t::IDC_FIND, t::kFindText);
    auto* exitButton = new wxButton(this, t::IDC_EXIT, t::kExitText);
    auto* helpButton = new wxButton(this, wxID_HELP, t::kHelpText);
    m_pMenuButton = new wxButton(this, wxID_ANY, kMenuButtonText, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);

    m_pPattern->SetName("Pattern to match");
    m_pLetters->SetName("Remaining letters");
    m_pClue->SetName("Clue words");
    m_pSolutions->SetName("Solutions");
    m_pCount->SetName("Words found");
    m_pMenuButton->SetToolTip("The program menu: About, Load and Save (Alt+Space or a right click)");

    // GTK's entries ask for room for about 20 characters: the template's
    // widths are what these need.
    m_pLetters->SetInitialSize(wxSize(1, -1));
    m_pClue->SetInitialSize(wxSize(1, -1));
    m_pPattern->SetInitialSize(wxSize(1, -1));

    layout.Place(box, t::kSearchTypeBox);
    layout.Place(m_pMatching, t::kMatching);
    layout.Place(m_pAnagram, t::kAnagram);
    layout.Place(m_pLimit, t::kLimit);
    layout.Place(patternLabel, t::kPatternLabel);
    layout.Place(m_pPattern, t::kPattern, false);
    layout.Place(lettersLabel, t::kLettersLabel);
    layout.Place(m_pLetters, t::kLetters);
    layout.Place(clueLabel, t::kClueLabel);
    layout.Place(m_pClue, t::kClue);
    layout.Place(m_pCommon, t::kCommon);
    layout.Place(solutionsLabel, t::kSolutionsLabel);
    // The menu button sits at the top right, above the list; the list's top
    // moves down as far as the button needs, its bottom stays.
    // Its exact fit would put the text against the border: 3 dialog units
    // of room on either side.
    const wxSize menuSize = m_pMenuButton->GetBestSize() + wxSize(ConvertDialogToPixels(wxSize(6, 0)).x, 0);
    const wxRect menuRect(wxPoint(listRect.GetRight() + 1 - menuSize.x, ConvertDialogToPixels(wxPoint(0, 2)).y),
                          menuSize);
    wxRect list = listRect;
    list.SetTop(std::max(listRect.y, menuRect.GetBottom() + 2));
    list.SetBottom(listRect.GetBottom());
    layout.PlaceRect(m_pSolutions, list);
    layout.Place(m_pCount, t::kCount);
    layout.Place(m_pFind, t::kFind);
    layout.Place(exitButton, t::kExit);
    layout.Place(helpButton, t::kHelp);
    layout.PlaceRect(m_pMenuButton, menuRect);
    layout.FitDialog(t::kWidth, t::kHeight);

    m_pFind->SetDefault();
    // "&Solutions:" leads to the list's rows (Alt+S, screen readers).
    LinkLabel(solutionsLabel, m_pSolutions->GtkGetTreeView(), "Solutions:");
    // Screen readers name the clue box after its label.
    LinkLabel(clueLabel, m_pClue->GetHandle(), "Clue words:");
}

void CMainDlg::BuildProgramMenu() {
    // The window commands in their usual order, then the program's own.
    m_programMenu.Append(MenuIdOf(SC_RESTORE), "&Restore");
    m_programMenu.Append(MenuIdOf(SC_MOVE), "&Move");
    m_programMenu.Append(MenuIdOf(SC_SIZE), "&Size");
    m_programMenu.Append(MenuIdOf(SC_MINIMIZE), "Mi&nimize");
    m_programMenu.Append(MenuIdOf(SC_MAXIMIZE), "Ma&ximize");
    m_programMenu.AppendSeparator();
    m_programMenu.Append(MenuIdOf(SC_CLOSE), "&Close");
    const CString about = LoadStringText(IDS_ABOUTBOX);
    if (!about.empty()) {
        m_programMenu.AppendSeparator();
        m_programMenu.Append(MenuIdOf(IDM_ABOUTBOX), wxString::FromUTF8(about.c_str()));
        m_programMenu.Append(MenuIdOf(IDM_LOADDICT), wxString::FromUTF8(LoadStringText(IDS_LOAD_DICTIONARY).c_str()));
        m_programMenu.Append(MenuIdOf(IDM_SAVEDICT), wxString::FromUTF8(LoadStringText(IDS_SAVE_DICTIONARY).c_str()));
    }
    // The dialog has neither a sizing border nor a maximize box.
    m_programMenu.Enable(MenuIdOf(SC_MAXIMIZE), false);
    m_programMenu.Enable(MenuIdOf(SC_SIZE), false);
    SetMinimizeGrayed(false);
}

void CMainDlg::SetMinimizeGrayed(bool grayed) {
    m_programMenu.Enable(MenuIdOf(SC_MINIMIZE), !grayed);
    // Restore is offered only while there is something to restore.
    m_programMenu.Enable(MenuIdOf(SC_RESTORE), grayed);
}

CString CMainDlg::ReadText(const wxString& value) const {
    // Cut by characters as typed, never inside a character's bytes.
    return CString(value.Left(kMaxQueryText).utf8_str());
}

// ---------------------------------------------------------------------------
// Find

void CMainDlg::OnFind() {
    CDictionary dict;
    const CString strPattern = ReadText(m_pPattern->GetValue());
    if (strPattern.empty()) {
        AfxMessageBox(IDS_NO_PATTERN, MsgIcon::Exclamation);
        return;
    }
    const CString strLetters = ReadText(m_pLetters->GetValue());
    if (!dict.OpenForReading())
        return;
    const bool bLimit = m_pLimit->GetValue();
    const BOOL bAnagram = m_pAnagram->GetValue() ? TRUE : FALSE;
    // The search runs to the end of its block so that every match is counted;
    // the limit applies to the rows listed.
    int nResultCount = 0;
    if (!dict.PrepareSearch(bAnagram, strPattern, strLetters, FALSE, nResultCount))
        return;
    // Clue words need WordNet: without it the Find stops with one message,
    // the list and the history as they were.
    const CString strClue = ReadText(m_pClue->GetValue());
    CClueWords clues;
    const bool bClue = !CClueWords::Split(strClue).empty();
    if (bClue) {
        WnStatus status = WnStatus::ok;
        const CWordNet* db = m_wordnet.Database(status);
        if (db && clues.Build(*db, strClue) == WnRead::damaged)
            status = WnStatus::damaged;
        if (status != WnStatus::ok) {
            AfxMessageBox(CWordNetSession::MessageFor(status), CWordNetSession::IconFor(status));
            return;
        }
    }

    CString parsed;
    if (strLetters.empty() && bAnagram)
        dict.ParseQuery(parsed, strPattern, TRUE, TRUE);
    AddToHistory(CSearchHistory::EntryFor(strPattern, strLetters, bAnagram, parsed));

    wxBusyCursor wait;
    const bool bCommonFirst = m_pCommon->GetValue();
    CFoundWords found = bClue ? CollectRelatedMatches(dict, clues, bLimit, bCommonFirst)
                              : CollectMatches(dict, bLimit, bCommonFirst);
    ShowFoundWords(std::move(found));
    if (bClue && clues.Damaged())
        AfxMessageBox(IDS_WORDNET_DAMAGED, MsgIcon::Stop);
}

void CMainDlg::ShowFoundWords(CFoundWords found) {
    m_bNoMatchRow = found.words.empty();
    const CString count = FormatWordCount(found.words.size(), found.nTotal);
    if (m_bNoMatchRow)
        m_pSolutions->SetRows({LoadStringText(IDS_NO_MATCHES)}, false);
    else
        m_pSolutions->SetRows(std::move(found.words));
    m_pCount->SetLabel(wxString::FromUTF8(count.c_str()));
}

// ---------------------------------------------------------------------------
// Search history

void CMainDlg::AddToHistory(const CString& entry) {
    m_history.Add(entry);
    MirrorHistory();
}

void CMainDlg::MirrorHistory(const CSearchHistory::Effect& effect) {
    // The combo box follows the model's changes one by one, as GTK would see
    // the same deletions and insertions made by hand; its notifications
    // about them are not the user's.
    FlagScope scope(m_bChangingHistory);
    for (const CSearchHistory::Change& change : m_history.TakeChanges()) {
        if (change.kind == CSearchHistory::Change::Delete)
            m_pPattern->Delete(static_cast<unsigned int>(change.nIndex));
        else
            m_pPattern->Insert(wxString::FromUTF8(change.text.c_str()), static_cast<unsigned int>(change.nIndex));
    }
    if (effect.bSetLetters)
        m_pLetters->ChangeValue(wxString::FromUTF8(effect.letters.c_str()));
    if (effect.nSelect != -1)
        m_pPattern->SetSelection(effect.nSelect);
}

void CMainDlg::OnSelChangePattern() {
    if (!m_bChangingHistory)
        MirrorHistory(m_history.OnSelChange(m_pPattern->GetSelection()));
}

void CMainDlg::OnDropDownPattern() {
    if (m_bChangingHistory)
        return;
    m_history.OnDropDown();
    MirrorHistory();
}

void CMainDlg::OnCloseUpPattern() {
    if (!m_bChangingHistory)
        MirrorHistory(m_history.OnCloseUp(m_pPattern->GetSelection()));
}

// ---------------------------------------------------------------------------
// The program's menu

void CMainDlg::OnSysCommand(unsigned nID) {
    const unsigned nCommand = nID & 0xFFF0;
    if (nCommand == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.ShowModal();
    } else if (nCommand == IDM_LOADDICT) {
        OnLoadDictionary();
    } else if (nCommand == IDM_SAVEDICT) {
        OnSaveDictionary();
    } else if (nCommand == SC_MINIMIZE) {
        SetMinimizeGrayed(true);
        Iconize(true);
    } else if (nCommand == SC_RESTORE) {
        SetMinimizeGrayed(false);
        Iconize(false);
    } else if (nCommand == SC_MOVE) {
        BeginKeyboardMove();
    } else if (nCommand == SC_CLOSE) {
        Close();
    }
    // SC_SIZE and SC_MAXIMIZE: the dialog can be neither sized nor maximized.
}

void CMainDlg::ShowProgramMenu(const wxPoint& pos) {
    wxPoint where = pos;
    if (where == wxDefaultPosition) {
        const wxRect button = m_pMenuButton->GetRect();
        where = wxPoint(button.x, button.GetBottom() + 1);
    }
    PopupMenu(&m_programMenu, where);
}

void CMainDlg::OnIconize(wxIconizeEvent& event) {
    // However the window was minimized or restored (title bar, task bar or
    // this menu), Minimize is grayed exactly while it is minimized.
    SetMinimizeGrayed(event.IsIconized());
    event.Skip();
}

void CMainDlg::BeginKeyboardMove() {
    m_bMoving = true;
    m_moveStart = GetPosition();
}

bool CMainDlg::HandleMoveKey(int key, int mods) {
    const int step = mods == wxMOD_CONTROL ? kMoveFineStep : kMoveStep;
    wxPoint pos = GetPosition();
    switch (key) {
    case WXK_LEFT:
        pos.x -= step;
        break;
    case WXK_RIGHT:
        pos.x += step;
        break;
    case WXK_UP:
        pos.y -= step;
        break;
    case WXK_DOWN:
        pos.y += step;
        break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        m_bMoving = false;
        return true;
    case WXK_ESCAPE:
        m_bMoving = false;
        Move(m_moveStart);
        return true;
    default:
        // Any other key ends the move where the window is.
        m_bMoving = false;
        return false;
    }
    Move(pos);
    return true;
}

void CMainDlg::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int mods = event.GetModifiers();
    if (m_bMoving && HandleMoveKey(key, mods))
        return;
    wxWindow* focus = FindFocus();
    auto focusIn = [focus](wxWindow* control) { return focus && (focus == control || control->IsDescendant(focus)); };
    // Alt+Space opens the program menu anywhere; Shift+F10 and the Menu key
    // do too, except in the text boxes, which keep their own menu for them.
    const bool contextKey = (key == WXK_F10 && mods == wxMOD_SHIFT) ||
                            ((key == WXK_MENU || key == WXK_WINDOWS_MENU) && mods == wxMOD_NONE);
    // In the solutions they open the solutions' own menu.
    if (contextKey && focusIn(m_pSolutions)) {
        ShowSolutionsMenu();
        return;
    }
    if ((key == WXK_SPACE && mods == wxMOD_ALT) ||
        (contextKey && !focusIn(m_pPattern) && !focusIn(m_pLetters) && !focusIn(m_pClue))) {
        ShowProgramMenu();
        return;
    }
    if (mods == wxMOD_CONTROL && focusIn(m_pSolutions)) {
        if (key == 'C') {
            CopySelectedSolutions();
            return;
        }
        if (key == 'A') {
            SelectAllSolutions();
            return;
        }
    }
    event.Skip();
}

void CMainDlg::OnContextMenu(wxContextMenuEvent& event) {
    // The text boxes keep their own menu (cut, copy, paste).
    wxWindow* source = wxDynamicCast(event.GetEventObject(), wxWindow);
    if (source && (source == m_pPattern || source == m_pLetters || source == m_pClue ||
                   m_pPattern->IsDescendant(source))) {
        event.Skip();
        return;
    }
    const wxPoint screen = event.GetPosition();
    const wxPoint where = screen == wxDefaultPosition ? wxDefaultPosition : ScreenToClient(screen);
    if (source && (source == m_pSolutions || m_pSolutions->IsDescendant(source)))
        ShowSolutionsMenu(where);
    else
        ShowProgramMenu(where);
}

void CMainDlg::ShowSolutionsMenu(const wxPoint& pos) {
    wxMenu menu;
    menu.Append(wxID_COPY, "&Copy\tCtrl+C");
    menu.Append(wxID_SELECTALL, "Select &All\tCtrl+A");
    menu.AppendSeparator();
    menu.Append(kMeaningMenuId, wxString::FromUTF8(LoadStringText(IDS_MEANING_MENU).c_str()));
    menu.Enable(kMeaningMenuId, !MeaningWord().empty());
    menu.Enable(wxID_COPY, !m_bNoMatchRow && m_pSolutions->GetSelectedItemsCount() > 0);
    menu.Enable(wxID_SELECTALL, !m_bNoMatchRow && m_pSolutions->GetCount() > 0);
    wxPoint where = pos;
    if (where == wxDefaultPosition) {
        // From the keyboard: at the list's top left corner.
        where = m_pSolutions->GetPosition() + wxPoint(4, 4);
    }
    PopupMenu(&menu, where);
}

CString CMainDlg::MeaningWord() const {
    if (m_bNoMatchRow || m_pSolutions->GetCount() == 0)
        return CString();
    const int current = m_pSolutions->GetSelectedCurrentRow();
    if (current >= 0)
        return m_pSolutions->GetRow(static_cast<size_t>(current));
    const std::vector<std::string> rows = m_pSolutions->GetSelectedRows();
    return rows.empty() ? CString() : rows.front();
}

void CMainDlg::ShowMeaning() {
    const CString word = MeaningWord();
    if (word.empty())
        return;
    if (!m_pMeaning)
        m_pMeaning = new CMeaningWnd(this, m_wordnet);
    m_pMeaning->ShowWord(word);
}

void CMainDlg::OnSolutionSelected() {
    if (!m_pMeaning || !m_pMeaning->IsShown())
        return;
    const CString word = MeaningWord();
    if (!word.empty() && word != m_pMeaning->Word())
        m_pMeaning->ShowWord(word);
}

void CMainDlg::SelectAllSolutions() {
    if (!m_bNoMatchRow)
        m_pSolutions->SelectAll();
}

void CMainDlg::OnCloseWindow(wxCloseEvent&) {
    TheHelpBook().Close();
    // The Meaning window goes with the dialog, at once: a hidden top-level
    // window still waiting for its deletion would keep the program running.
    delete m_pMeaning;
    m_pMeaning = nullptr;
    Destroy();
}

void CMainDlg::OnHelpButton(wxCommandEvent&) { TheHelpBook().ShowTopics(); }

// ---------------------------------------------------------------------------
// Copy

bool CMainDlg::CopySelectedSolutions() {
    if (m_bNoMatchRow)
        return false;
    const std::vector<std::string> rows = m_pSolutions->GetSelectedRows();
    if (rows.empty())
        return false;
    wxString text;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i)
            text += '\n';
        text += wxString::FromUTF8(rows[i].c_str());
    }
    wxClipboardLocker lock;
    if (!lock)
        return false;
    return wxTheClipboard->SetData(new wxTextDataObject(text));
}

// ---------------------------------------------------------------------------
// Load and save

int CMainDlg::RunProgressModal(CProgressDlg& progress) {
    CProgressWnd window(this, progress);
    return window.RunModal();
}

void CMainDlg::OnLoadDictionary() {
    wxFileDialog dlg(this, "Open", wxString(), wxString(), WildcardFromFilter(LoadStringText(IDS_TEXT_FILTER)),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK)
        return;
    OnLoadDictionaryFile(*this, ChosenPath(dlg),
                         [this](CProgressDlg& progress) { return RunProgressModal(progress); });
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
    OnSaveDictionaryFile(*this, ChosenPath(dlg),
                         [this](CProgressDlg& progress) { return RunProgressModal(progress); });
}
