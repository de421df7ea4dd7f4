#include "search/search_history.h"

#include <strings.h>

#include <algorithm>

namespace {

// The combo box's lookup ignores case, in ASCII as the queries are.
bool SameIgnoringCase(const CString& a, const CString& b) {
    return a.size() == b.size() && ::strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

CString CSearchHistory::EntryFor(const CString& strPattern, const CString& strLetters, bool bAnagram,
                                 const CString& strParsedPattern) {
    if (!strLetters.empty())
        return FormatString("%s (%s)", strPattern.c_str(), strLetters.c_str());
    if (bAnagram) {
        // The parsed pattern's squares: a set "[...]" is one.
        int nSquares = 0;
        for (size_t i = 0; i < strParsedPattern.size(); ++i, ++nSquares)
            if (strParsedPattern[i] == '[')
                i = std::min(strParsedPattern.find(']', i), strParsedPattern.size());
        return FormatString("%d (%s)", nSquares, strParsedPattern.c_str());
    }
    return strPattern;
}

void CSearchHistory::Add(const CString& entry) {
    for (size_t i = 0; i < m_items.size(); ++i) {
        const CString& item = static_cast<int>(i) == m_nSplitIndex ? m_strSplitEntry : m_items[i];
        if (SameIgnoringCase(item, entry))
            return;
    }
    InsertItem(0, entry);
    if (m_nSplitIndex != -1)
        ++m_nSplitIndex;
}

CSearchHistory::Effect CSearchHistory::OnSelChange(int nSelection) {
    RestoreHistoryEntry();
    m_bSelChanged = 1;
    // While the list is open every entry shows in full; the split waits for
    // the list to close.
    if (!m_bDropped)
        return SplitHistoryEntry(nSelection);
    return Effect();
}

void CSearchHistory::OnDropDown() {
    RestoreHistoryEntry();
    m_bDropped = 1;
    m_bSelChanged = 0;
}

CSearchHistory::Effect CSearchHistory::OnCloseUp(int nSelection) {
    Effect effect;
    if (m_bSelChanged)
        effect = SplitHistoryEntry(nSelection);
    m_bDropped = 0;
    return effect;
}

std::vector<CSearchHistory::Change> CSearchHistory::TakeChanges() {
    std::vector<Change> changes;
    changes.swap(m_changes);
    return changes;
}

void CSearchHistory::RestoreHistoryEntry() {
    if (m_nSplitIndex == -1)
        return;
    DeleteItem(m_nSplitIndex);
    InsertItem(m_nSplitIndex, m_strSplitEntry);
    m_nSplitIndex = -1;
}

CSearchHistory::Effect CSearchHistory::SplitHistoryEntry(int nSelection) {
    Effect effect;
    if (m_nSplitIndex != -1 || nSelection < 0 || nSelection >= static_cast<int>(m_items.size()))
        return effect;
    const CString text = m_items[static_cast<size_t>(nSelection)];
    if (text.empty())
        return effect;
    const size_t p = text.find('(');
    effect.bSetLetters = true;
    if (p == CString::npos)
        return effect;  // no letters: the chosen entry's empty letters replace any typed
    // "pattern (letters)": the letters lie between "(" and the closing ")",
    // the pattern before the blank that precedes "(".
    const size_t n = text.size();
    effect.letters = text.substr(p + 1, n >= p + 2 ? n - p - 2 : 0);
    m_nSplitIndex = nSelection;
    m_strSplitEntry = text;
    DeleteItem(nSelection);
    InsertItem(nSelection, text.substr(0, p > 0 ? p - 1 : 0));
    effect.nSelect = nSelection;
    return effect;
}

void CSearchHistory::InsertItem(int nIndex, const CString& text) {
    m_items.insert(m_items.begin() + nIndex, text);
    m_changes.push_back({Change::Insert, nIndex, text});
}

void CSearchHistory::DeleteItem(int nIndex) {
    m_items.erase(m_items.begin() + nIndex);
    m_changes.push_back({Change::Delete, nIndex, CString()});
}
