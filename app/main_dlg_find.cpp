// The Find command and the search history behind the pattern box: the
// history is a model of its own (search/search_history.h); the dialog
// forwards the box's notifications to it and mirrors its items.
#include "app/main_dlg.h"

#include <algorithm>
#include <iterator>

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "app/meaning_wnd.h"
#include "app/solutions_list.h"
#include "dictionary/dictionary.h"
#include "location/work_dir.h"
#include "platform/message_box.h"
#include "res/string_table.h"
#include "phrases/abbreviation_clue.h"
#include "phrases/phrase_find.h"
#include "search/find_request.h"
#include "search/find_words.h"
#include "search/search_history.h"

namespace {

// Controls hold at most 254 characters of a query, as typed.
constexpr size_t kMaxQueryText = 254;

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

CString CMainDlg::ReadText(const wxString& value) const {
    // Cut by characters as typed, never inside a character's bytes.
    return CString(value.Left(kMaxQueryText).utf8_str());
}

// Find

void CMainDlg::OnFind() {
    CDictionary dict(GetWorkDir());
    const CString strTyped = ReadText(m_pPattern->GetValue());
    CString strPattern = strTyped;
    if (strPattern.empty()) {
        AfxMessageBox(IDS_NO_PATTERN, MsgIcon::Exclamation);
        return;
    }
    const CString strLetters = ReadText(m_pLetters->GetValue());
    if (Status opened = dict.OpenForReading(); !opened) {
        ShowStatus(opened);
        return;
    }
    // A damaged block, and a notice, are shown as the search meets them.
    dict.SetFailureReporter([](const Status& failure) { ShowStatus(failure); });
    dict.SetNoticeReporter([](const Status& notice) { ShowStatus(notice); });
    CFindRequest request;
    request.bAnagram = m_pAnagram->GetValue();
    request.letters = strLetters;
    request.bLimit = m_pLimit->GetValue();
    request.bCommonFirst = m_pCommon->GetValue();
    const size_t nMaxListed = request.bLimit ? static_cast<size_t>(CDictionary::kLimitMatches) : SIZE_MAX;
    PhrasePattern parts;
    const bool bSplit = SplitPhrasePattern(strPattern, parts);
    const bool bBreaks = bSplit && parts.parts.size() > 1;
    if (bSplit && !bBreaks)
        strPattern = parts.parts.front();  // "(5)": the enumeration of one word
    request.pattern = strPattern;
    if (!bBreaks) {
        if (Status prepared = PrepareFind(dict, request); !prepared) {
            ShowStatus(prepared);
            return;
        }
    }
    // A clue needs WordNet: without it the Find stops with one message, the
    // list and the history as they were.
    const CString strClue = ReadText(m_pClue->GetValue());
    std::unique_ptr<CWordNetClueScorer> scorer;
    CString note;
    if (strClue.find_first_not_of(" \t\r\n") != CString::npos) {
        scorer = std::make_unique<CWordNetClueScorer>();
        bool bIndexDamaged = false;
        const WnStatus status = m_wordnet.BuildScorer(strClue, *scorer, bIndexDamaged);
        if (status != WnStatus::ok) {
            AfxMessageBox(CWordNetSession::MessageFor(status), CWordNetSession::IconFor(status));
            return;
        }
        if (bIndexDamaged)
            AfxMessageBox(IDS_DEFINITIONS_DAMAGED, MsgIcon::Exclamation);
        if (!scorer->HasWords()) {
            note = LoadStringText(IDS_CLUE_WITHOUT_WORDS);
            scorer.reset();
        } else if (!scorer->UnknownWords().empty()) {
            CString words;
            for (const std::string& word : scorer->UnknownWords())
                words += (words.empty() ? "" : ", ") + word;
            note = FormatString(LoadStringText(IDS_NO_MEANING_KNOWN).c_str(), words.c_str());
        }
    }
    request.pScorer = scorer.get();

    if (bBreaks) {
        // A pattern with word breaks lists phrases only, ranked by a clue
        // when there is one; the history keeps it as typed.
        CFoundPhrases phrases;
        if (Status prepared = FindPhrasesOfPattern(dict, request.bAnagram, parts, strLetters,
                                                   scorer ? SIZE_MAX : nMaxListed, phrases);
            !prepared) {
            ShowStatus(prepared);
            return;
        }
        AddToHistory(CSearchHistory::EntryFor(strTyped, strLetters, false, CString()));
        CFoundWords ranked;
        if (scorer) {
            PrependRanked(phrases.phrases, scorer.get(), nMaxListed, ranked);
            phrases.phrases.resize(ranked.words.size());
        }
        ShowPhrases(std::move(phrases), std::move(ranked), scorer != nullptr);
        m_pScorer = std::move(scorer);
        m_pClueNote->SetLabel(wxString::FromUTF8(note.c_str()));
        return;
    }

    CString parsed;
    if (strLetters.empty() && request.bAnagram)
        dict.ParseQuery(parsed, strPattern, true, true);
    AddToHistory(CSearchHistory::EntryFor(strPattern, strLetters, request.bAnagram, parsed));

    wxBusyCursor wait;
    const bool bPhrases = m_pPhrases->GetValue();
    const bool bAbbreviations = m_pAbbreviations->GetValue();
    // A clue that asks for an abbreviation ("for short", "Abbr.") brings the
    // abbreviations in, first. Otherwise, with a clue, the phrases and
    // abbreviations the boxes ask for are ranked with the words; without one
    // they follow the words, as many as the limit leaves room for.
    const bool bAbbreviationsFirst = scorer && IsAbbreviationClue(strClue);
    // Taken before the words: the phrase search leaves the query spent.
    CFoundPhrases abbreviations;
    if (scorer && (bAbbreviationsFirst || bAbbreviations))
        abbreviations = FindAbbreviationsOfSearch(dict, request.bCommonFirst, SIZE_MAX);
    CFoundPhrases phrases;
    if (scorer && (bPhrases || (bAbbreviations && !bAbbreviationsFirst))) {
        request.moreCandidates = [&]() {
            std::vector<CString> more;
            if (!bAbbreviationsFirst)
                more = abbreviations.phrases;
            if (bPhrases) {
                phrases = FindPhrasesOfSearch(dict, SIZE_MAX);
                more.insert(more.end(), phrases.phrases.begin(), phrases.phrases.end());
            }
            return more;
        };
    }
    CFoundWords found = RunFind(dict, request);
    if (found.words.empty() && dict.DamageFound()) {
        // The damage has been said; "No matching words found" would blame
        // the pattern.
        m_bNoMatchRow = false;
        m_pSolutions->Clear();
        m_pCount->SetLabel(wxString());
        m_pScorer.reset();
        m_pClueNote->SetLabel(wxString());
        return;
    }
    if (scorer && (bAbbreviationsFirst || bAbbreviations || bPhrases)) {
        if (bAbbreviationsFirst)
            PrependRanked(abbreviations.phrases, scorer.get(), nMaxListed, found);
        // Listed already; kept here for the count line and a damaged file.
        CFoundPhrases listed = std::move(abbreviations);
        listed.phrases.insert(listed.phrases.end(), phrases.phrases.begin(), phrases.phrases.end());
        listed.nTotal += phrases.nTotal;
        listed.bCut = phrases.bCut;
        if (listed.strError.empty())
            listed.strError = phrases.strError;
        ShowPhrases(std::move(listed), std::move(found), true);
    } else if (bPhrases || bAbbreviations) {
        CFoundPhrases more;
        if (bAbbreviations)
            more = FindAbbreviationsOfSearch(dict, request.bCommonFirst,
                                             nMaxListed - std::min(nMaxListed, found.words.size()));
        if (bPhrases) {
            phrases = FindPhrasesOfSearch(dict, nMaxListed - std::min(nMaxListed, found.words.size() + more.phrases.size()));
            more.phrases.insert(more.phrases.end(), phrases.phrases.begin(), phrases.phrases.end());
            more.nTotal += phrases.nTotal;
            more.bCut = phrases.bCut;
            if (more.strError.empty())
                more.strError = phrases.strError;
        }
        ShowPhrases(std::move(more), std::move(found));
    } else {
        ShowFoundWords(std::move(found));
    }
    m_pScorer = std::move(scorer);
    m_pClueNote->SetLabel(wxString::FromUTF8(note.c_str()));
}

void CMainDlg::ShowPhrases(CFoundPhrases phrases, CFoundWords words, bool bRankedWithWords) {
    const CString count = FormatPhraseCount(phrases);
    if (!bRankedWithWords)
        words.words.insert(words.words.end(), std::make_move_iterator(phrases.phrases.begin()),
                           std::make_move_iterator(phrases.phrases.end()));
    // Phrases carry no reason of their own.
    if (!words.reasons.empty())
        words.reasons.resize(words.words.size());
    ShowFoundWords(std::move(words), count);
    if (!phrases.strError.empty())
        AfxMessageBox(IDS_PHRASES_DAMAGED, MsgIcon::Stop);
}

void CMainDlg::ShowFoundWords(CFoundWords found, const CString& phraseCount) {
    m_bNoMatchRow = found.words.empty();
    CString count = FormatWordCount(std::min(found.words.size(), static_cast<size_t>(std::max<int64_t>(found.nTotal, 0))),
                                    found.nTotal);
    if (!phraseCount.empty())
        count = count.empty() ? phraseCount : count + ", " + phraseCount;
    if (m_bNoMatchRow)
        m_pSolutions->SetRows({LoadStringText(IDS_NO_MATCHES)}, false);
    else
        m_pSolutions->SetRows(std::move(found.words), true, std::move(found.reasons));
    m_pCount->SetLabel(wxString::FromUTF8(count.c_str()));
}

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

// The program's menu
