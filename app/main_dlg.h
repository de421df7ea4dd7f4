// CMainDlg: the program's main window (template 102). It holds the search
// controls, runs Find and keeps the pattern history, carries the program's
// menu (the window commands plus About, load and save), and runs the import
// and export jobs behind its progress window.
#pragma once

#include <utility>
#include <vector>

#include <wx/dialog.h>
#include <wx/menu.h>

#include <memory>

#include "platform/cstring.h"
#include "search/search_history.h"
#include "wordnet/wordnet_session.h"

class CDialogLayout;
class CMeaningWnd;
class CSolutionsList;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxComboBox;
class wxRadioButton;
class wxStaticText;
class wxTextCtrl;
class CProgressDlg;
struct CFoundWords;
struct CFoundPhrases;

// Menu item ids of the program menu. Window ids stop at 32767, so the window
// commands (0xF000 and up) are carried shifted right by four bits; the
// program's own commands (16, 32, 48) are their own ids.
constexpr int MenuIdOf(unsigned nCommand) { return static_cast<int>(nCommand >= 0xF000 ? nCommand >> 4 : nCommand); }
constexpr unsigned CommandOfMenuId(int nId) {
    return nId >= (0xF000 >> 4) ? static_cast<unsigned>(nId) << 4 : static_cast<unsigned>(nId);
}

class CMainDlg : public wxDialog {
public:
    explicit CMainDlg(wxWindow* parent = nullptr);
    ~CMainDlg() override;

    // The Find command and the pattern combo box's notifications.
    void OnFind();
    void OnSelChangePattern();
    void OnDropDownPattern();
    void OnCloseUpPattern();

    // A command of the program's menu; the low four bits are ignored.
    void OnSysCommand(unsigned nID);
    void OnLoadDictionary();
    void OnSaveDictionary();

    // Opens the program's menu at `pos` (client coordinates), or below the
    // menu button when no position is given.
    void ShowProgramMenu(const wxPoint& pos = wxDefaultPosition);
    wxMenu& ProgramMenu() { return m_programMenu; }

    // Copies the selected solutions to the clipboard, one per line.
    bool CopySelectedSolutions();
    void SelectAllSolutions();
    // The solutions' own menu (Copy, Select All) at `pos` (client
    // coordinates), or at the list's corner when no position is given.
    void ShowSolutionsMenu(const wxPoint& pos = wxDefaultPosition);

    // Opens the Meaning window (or brings it up) on the current solution.
    void ShowMeaning();
    // The Meaning window; null until it was first opened.
    CMeaningWnd* MeaningWindow() const { return m_pMeaning; }

    // Runs a job's progress window modally over this dialog.
    int RunProgressModal(CProgressDlg& progress);
    // Imports the word list at `path` behind the progress window, asking the
    // user what the import asks, and shows how it ended; returns the id of
    // the last message shown.
    UINT ImportWordList(const CString& path, bool bFoldAccents);

    // The controls, for the tests and the screenshots.
    wxComboBox* PatternCombo() const { return m_pPattern; }
    wxTextCtrl* LettersEdit() const { return m_pLetters; }
    wxTextCtrl* ClueEdit() const { return m_pClue; }
    CSolutionsList* Solutions() const { return m_pSolutions; }
    wxStaticText* CountLine() const { return m_pCount; }
    wxStaticText* ClueNote() const { return m_pClueNote; }
    wxCheckBox* LimitCheck() const { return m_pLimit; }
    wxCheckBox* CommonCheck() const { return m_pCommon; }
    wxCheckBox* PhrasesCheck() const { return m_pPhrases; }
    wxCheckBox* AbbreviationsCheck() const { return m_pAbbreviations; }
    wxRadioButton* MatchingRadio() const { return m_pMatching; }
    wxRadioButton* AnagramRadio() const { return m_pAnagram; }
    wxButton* FindButton() const { return m_pFind; }
    wxButton* MenuButton() const { return m_pMenuButton; }
    wxChoice* DictionaryChoice() const { return m_pDictionary; }
    int GetSplitIndex() const { return m_history.GetSplitIndex(); }
    const CString& GetSplitEntry() const { return m_history.GetSplitEntry(); }
    bool IsDropped() const { return m_history.IsDropped(); }
    bool IsSelChanged() const { return m_history.IsSelChanged(); }
    bool IsMoving() const { return m_keyboardFrame == KeyboardFrame::Move; }
    bool IsSizing() const { return m_keyboardFrame == KeyboardFrame::Size; }

private:
    void CreateControls();
    // The dictionary row (main_dlg_dictionaries.cpp): its controls, its
    // items, the start on the remembered dictionary, and its choices.
    void CreateDictionaryRow(CDialogLayout& layout);
    void FillDictionaryChoice();
    void OpenRememberedDictionary();
    void OnDictionaryChosen();
    void AddInstalledWordList();
    // Uses the dictionary `name` in `dir` from now on, and remembers it.
    void UseDictionary(const CString& name, const CString& dir);
    void BuildProgramMenu();
    void AddToHistory(const CString& entry);
    // Applies the history's changes to the combo box, then `effect`.
    void MirrorHistory(const CSearchHistory::Effect& effect = CSearchHistory::Effect());
    // Lists a Find's words (or the no-match row) and its count line.
    // The words, then the phrases after them (unless a clue ranked them among
    // the words already); a damaged phrase file is said.
    void ShowPhrases(CFoundPhrases phrases, CFoundWords words, bool bRankedWithWords = false);
    // `phraseCount` follows the words' count in the count line.
    void ShowFoundWords(CFoundWords found, const CString& phraseCount = CString());
    // The scorer of the last Find by a clue (the Meaning window asks it which
    // sense matched); null after a Find without one.
    std::unique_ptr<CWordNetClueScorer> m_pScorer;
    CString ReadText(const wxString& value) const;
    // The solution the Meaning window is about: the current row, or the
    // first selected one; empty for none or for the no-match row.
    CString MeaningWord() const;
    void OnSolutionSelected();
    void ShowMeaningOf(const CString& word);
    void SetMinimizeGrayed(bool grayed);
    // The Move and Size commands: the arrow keys move or size the window
    // until Enter (or Escape, which puts it back).
    enum class KeyboardFrame { None, Move, Size };
    void BeginKeyboardFrame(KeyboardFrame what);
    bool HandleFrameKey(int key, int mods);
    // Gives the solutions list (and the count line and menu button that
    // follow its edges) the room the window has beyond its default size.
    void OnSize(wxSizeEvent& event);

    void OnCharHook(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnIconize(wxIconizeEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnHelpButton(wxCommandEvent& event);

    wxRadioButton* m_pMatching = nullptr;
    wxRadioButton* m_pAnagram = nullptr;
    wxCheckBox* m_pLimit = nullptr;
    wxCheckBox* m_pCommon = nullptr;
    wxCheckBox* m_pPhrases = nullptr;
    wxCheckBox* m_pAbbreviations = nullptr;
    wxComboBox* m_pPattern = nullptr;
    wxTextCtrl* m_pLetters = nullptr;
    wxTextCtrl* m_pClue = nullptr;
    CSolutionsList* m_pSolutions = nullptr;
    CMeaningWnd* m_pMeaning = nullptr;
    CWordNetSession m_wordnet;
    wxStaticText* m_pCount = nullptr;
    wxStaticText* m_pClueNote = nullptr;
    wxButton* m_pFind = nullptr;
    wxButton* m_pMenuButton = nullptr;
    wxChoice* m_pDictionary = nullptr;
    // The name and folder of each of m_pDictionary's items but the last
    // ("Add from installed word lists...").
    std::vector<std::pair<CString, CString>> m_dictionaries;
    // The folder the window started on, listed first when it is none of the
    // user's dictionaries (a dictionary.dat in the working directory).
    CString m_strStartDir;
    // The note that meanings, clue words and common words are English has
    // been shown.
    bool m_bEnglishNoteShown = false;
    wxMenu m_programMenu;
    KeyboardFrame m_keyboardFrame = KeyboardFrame::None;
    wxRect m_frameStart;
    // The client size and the rectangles of the controls that follow the
    // window's size, as the template lays them out.
    wxSize m_defaultClient;
    wxRect m_defaultList;
    wxRect m_defaultCount;
    wxRect m_defaultClueNote;
    wxRect m_defaultMenuButton;

    // The list shows "No matching words found" rather than words.
    bool m_bNoMatchRow = false;
    // The history handlers change the combo box's items; GTK may report
    // those changes as notifications, which are not the user's.
    bool m_bChangingHistory = false;

    CSearchHistory m_history;
};
