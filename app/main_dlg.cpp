// CMainDlg: building the main dialog from its template, its event bindings,
// and closing it. The commands live beside it: main_dlg_find.cpp (Find and
// the history), main_dlg_program_menu.cpp (the program menu and the window
// commands), main_dlg_solutions.cpp (the keyboard, the solutions' menu, copy
// and meanings), main_dlg_files.cpp (load and save).
#include "app/main_dlg.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dataview.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/accessibility.h"
#include "app/dialog_layout.h"
#include "app/help_book.h"
#include "app/main_dlg_ids.h"
#include "app/meaning_wnd.h"
#include "app/solutions_list.h"
#include "res/dialog_templates.h"
#include "res/gui_images.h"
#include "res/string_table.h"

namespace t = tmpl::main_dlg;

namespace {
constexpr const char* kMenuButtonText = "Menu";
}  // namespace

CMainDlg::CMainDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, t::kCaption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX | wxRESIZE_BORDER) {
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
    Bind(wxEVT_SIZE, &CMainDlg::OnSize, this);

    // Centred on the screen; Matching word and the limit checked; the focus
    // in the pattern box.
    OpenRememberedDictionary();
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
    m_pClueNote = new wxStaticText(this, t::IDC_CLUE_NOTE, wxString(), wxDefaultPosition, wxDefaultSize,
                                   wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    // The option of the bottom row comes after the list and its count, so
    // Tab from the remaining letters still reaches the rows.
    m_pCommon = new wxCheckBox(this, t::IDC_COMMON, t::kCommonText);
    m_pPhrases = new wxCheckBox(this, t::IDC_PHRASES, t::kPhrasesText);
    m_pAbbreviations = new wxCheckBox(this, t::IDC_ABBREVIATIONS, t::kAbbreviationsText);
    m_pFind = new wxButton(this, t::IDC_FIND, t::kFindText);
    auto* exitButton = new wxButton(this, t::IDC_EXIT, t::kExitText);
    auto* helpButton = new wxButton(this, wxID_HELP, t::kHelpText);
    m_pMenuButton = new wxButton(this, wxID_ANY, kMenuButtonText, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);

    m_pPattern->SetName("Pattern to match");
    m_pLetters->SetName("Remaining letters");
    m_pClue->SetName("Clue");
    m_pSolutions->SetName("Solutions");
    m_pCount->SetName("Words found");
    m_pClueNote->SetName("Clue words not known");
    m_pMenuButton->SetToolTip("The program menu: About, Load and Save (Alt+Space or a right click)");
    m_pPattern->SetToolTip("? any letter   3 three letters   @ vowel   # consonant   [abc] one of   "
                           "[a-e] range   [!abc] none of   * any run");

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
    layout.Place(m_pPhrases, t::kPhrases);
    layout.Place(m_pAbbreviations, t::kAbbreviations);
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
    layout.Place(m_pClueNote, t::kClueNote);
    layout.Place(m_pFind, t::kFind);
    layout.Place(exitButton, t::kExit);
    layout.Place(helpButton, t::kHelp);
    layout.PlaceRect(m_pMenuButton, menuRect);
    CreateDictionaryRow(layout);
    layout.FitDialog(t::kWidth, t::kHeight);
    // The template's size is the smallest; larger, the list takes the room.
    m_defaultClient = GetClientSize();
    m_defaultList = m_pSolutions->GetRect();
    m_defaultCount = m_pCount->GetRect();
    m_defaultClueNote = m_pClueNote->GetRect();
    m_defaultMenuButton = m_pMenuButton->GetRect();
    SetMinSize(GetSize());

    m_pFind->SetDefault();
    // "&Solutions:" leads to the list's rows (Alt+S, screen readers).
    LinkLabel(solutionsLabel, m_pSolutions->GtkGetTreeView(), "Solutions:");
    // Screen readers name the text boxes after their labels. The pattern
    // box is a combo box around an entry: both get the label's name, or GTK
    // would announce the combo box by its current history entry.
    LinkLabel(patternLabel, m_pPattern->GetConnectWidget(), "Pattern to match:");
    SetAccessibleName(m_pPattern->GetHandle(), "Pattern to match:");
    LinkLabel(lettersLabel, m_pLetters->GetHandle(), "Remaining letters:");
    LinkLabel(clueLabel, m_pClue->GetHandle(), "Clue:");
}

void CMainDlg::OnCloseWindow(wxCloseEvent&) {
    TheHelpBook().Close();
    // The Meaning window goes with the dialog, at once: a hidden top-level
    // window still waiting for its deletion would keep the program running.
    delete m_pMeaning;
    m_pMeaning = nullptr;
    Destroy();
    // The window is deleted, and the program ends, at idle time. A close
    // that came without any input event of its own (a screen reader's
    // "press" of Exit) would otherwise wait for the next mouse movement.
    wxWakeUpIdle();
}

void CMainDlg::OnHelpButton(wxCommandEvent&) { TheHelpBook().ShowTopics(); }

void CMainDlg::OnSize(wxSizeEvent& event) {
    event.Skip();
    if (m_defaultClient == wxSize())
        return;  // still being built
    // The other controls keep their places: they fill the template's size.
    const wxSize client = GetClientSize();
    const int dx = std::max(0, client.x - m_defaultClient.x);
    const int dy = std::max(0, client.y - m_defaultClient.y);
    wxRect list = m_defaultList;
    list.width += dx;
    list.height += dy;
    m_pSolutions->SetSize(list);
    wxRect count = m_defaultCount;
    count.y += dy;
    count.width += dx;
    m_pCount->SetSize(count);
    wxRect note = m_defaultClueNote;
    note.y += dy;
    note.width += dx;
    m_pClueNote->SetSize(note);
    m_pMenuButton->Move(m_defaultMenuButton.GetPosition() + wxPoint(dx, 0));
}

// Copy
