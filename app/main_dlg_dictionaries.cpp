// The dictionary row of the main dialog: which of the user's dictionaries the
// window searches, remembered for the next start, and "Add from installed
// word lists...", which imports one of Debian's lists, accents folded, as a
// dictionary of its own.
#include <wx/choicdlg.h>
#include <wx/choice.h>
#include <wx/stattext.h>

#include <unistd.h>

#include "app/accessibility.h"
#include "app/dialog_layout.h"
#include "app/main_dlg.h"
#include "location/dictionary_dir.h"
#include "location/installed_word_lists.h"
#include "location/last_dictionary.h"
#include "location/work_dir.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"

namespace t = tmpl::main_dlg;

namespace {

wxString Text(UINT nID) { return wxString::FromUTF8(LoadStringText(nID).c_str()); }

bool HoldsDictionary(const CString& dir) { return PathExists(dir + "/dictionary.dat"); }

}  // namespace

void CMainDlg::CreateDictionaryRow(CDialogLayout& layout) {
    auto* label = new wxStaticText(this, wxID_ANY, Text(IDS_DICTIONARY_LABEL));
    m_pDictionary = new wxChoice(this, t::IDC_DICTIONARY);
    m_pDictionary->SetName("Dictionary");
    layout.Place(label, t::kDictionaryLabel);
    layout.Place(m_pDictionary, t::kDictionary);
    LinkLabel(label, m_pDictionary->GetHandle(), "Dictionary:");
    m_pDictionary->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnDictionaryChosen(); });
    m_strStartDir = GetWorkDir();
    FillDictionaryChoice();
}

void CMainDlg::FillDictionaryChoice() {
    m_dictionaries.clear();
    const CString current = GetWorkDir();
    const std::vector<NamedDictionary> named = ListUserDictionaries();
    bool startListed = false;
    for (const NamedDictionary& entry : named)
        startListed = startListed || entry.dir == m_strStartDir;
    if (!startListed)
        m_dictionaries.emplace_back(m_strStartDir, m_strStartDir);
    for (const NamedDictionary& entry : named)
        m_dictionaries.emplace_back(entry.name, entry.dir);
    m_pDictionary->Clear();
    int selected = 0;
    for (size_t i = 0; i < m_dictionaries.size(); ++i) {
        // The start folder by its own name: its path would widen the choice.
        const CString& name = m_dictionaries[i].first;
        const CString shown = IsDictionaryName(name) ? name : "[" + name.substr(name.rfind('/') + 1) + "]";
        m_pDictionary->Append(wxString::FromUTF8(shown.c_str()));
        if (m_dictionaries[i].second == current)
            selected = static_cast<int>(i);
    }
    m_pDictionary->Append(Text(IDS_ADD_WORD_LIST));
    m_pDictionary->SetSelection(selected);
    m_pDictionary->SetToolTip(wxString::FromUTF8(m_dictionaries[static_cast<size_t>(selected)].second.c_str()));
}

void CMainDlg::OpenRememberedDictionary() {
    // Only a named dictionary changes the folder the start chose: the
    // default one is where the start looks anyway.
    const CString name = LoadLastDictionary();
    if (name.empty() || name == kDefaultDictionaryName)
        return;
    const CString dir = NamedDictionaryDir(name);
    if (dir.empty() || !HoldsDictionary(dir))
        return;
    SetWorkDir(dir);
    FillDictionaryChoice();
    if (!IsEnglishDictionary(name))
        CallAfter([this, name] {
            if (!m_bEnglishNoteShown) {
                m_bEnglishNoteShown = true;
                AfxMessageBox(IDS_ENGLISH_DATA_ONLY, FormatString(LoadStringText(IDS_ENGLISH_DATA_ONLY).c_str(), name.c_str()),
                              MsgIcon::Information);
            }
        });
}

void CMainDlg::UseDictionary(const CString& name, const CString& dir) {
    SetWorkDir(dir);
    // A name of the user's folder is remembered; the working folder is not.
    SaveLastDictionary(IsDictionaryName(name) ? name : CString(kDefaultDictionaryName));
    FillDictionaryChoice();
    if (IsDictionaryName(name) && !IsEnglishDictionary(name) && !m_bEnglishNoteShown) {
        m_bEnglishNoteShown = true;
        AfxMessageBox(IDS_ENGLISH_DATA_ONLY, FormatString(LoadStringText(IDS_ENGLISH_DATA_ONLY).c_str(), name.c_str()),
                      MsgIcon::Information);
    }
}

void CMainDlg::OnDictionaryChosen() {
    const int chosen = m_pDictionary->GetSelection();
    if (chosen < 0)
        return;
    if (static_cast<size_t>(chosen) >= m_dictionaries.size()) {
        AddInstalledWordList();
        return;
    }
    const auto [name, dir] = m_dictionaries[static_cast<size_t>(chosen)];
    if (dir != GetWorkDir())
        UseDictionary(name, dir);
}

void CMainDlg::AddInstalledWordList() {
    const std::vector<InstalledWordList> lists = FindInstalledWordLists();
    if (lists.empty()) {
        AfxMessageBox(IDS_NO_INSTALLED_WORD_LISTS, MsgIcon::Information);
        FillDictionaryChoice();
        return;
    }
    wxArrayString choices;
    for (const InstalledWordList& list : lists)
        choices.Add(wxString::FromUTF8(
            FormatString("%s: %s (%s)", list.language.c_str(), list.path.c_str(), list.package.c_str()).c_str()));
    wxSingleChoiceDialog dlg(this, Text(IDS_CHOOSE_WORD_LIST), Text(IDS_CHOOSE_WORD_LIST_CAPTION), choices);
    if (dlg.ShowModal() != wxID_OK || dlg.GetSelection() < 0) {
        FillDictionaryChoice();
        return;
    }
    const InstalledWordList& list = lists[static_cast<size_t>(dlg.GetSelection())];
    const CString dir = NamedDictionaryDir(list.name);
    const CString previous = GetWorkDir();
    const bool existed = IsDirectory(dir);
    if (dir.empty() || !MakeDirectories(dir, 0700)) {
        AfxMessageBox(IDS_CANNOT_OPEN_TEMP, MsgIcon::Exclamation);
        FillDictionaryChoice();
        return;
    }
    // The import writes the new dictionary's folder: it is the one in use
    // while the import runs, and stays so when the import succeeds.
    SetWorkDir(dir);
    const UINT nMessage = ImportWordList(list.path, true);
    if (nMessage == IDS_LOAD_DONE && HoldsDictionary(dir)) {
        UseDictionary(list.name, dir);
        return;
    }
    // Cancelled or failed: the dictionary in use before stays so, and a
    // folder made for nothing goes.
    SetWorkDir(previous);
    if (!existed && !HoldsDictionary(dir))
        ::rmdir(dir.c_str());
    FillDictionaryChoice();
}
