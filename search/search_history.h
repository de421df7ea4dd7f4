// The search history behind the pattern box: its entries, the one entry that
// is shown shortened to its bare pattern after being chosen, and the box's
// three notifications plus Find's insertion. It holds no window: the dialog
// forwards the notifications and mirrors the changes into its combo box.
#pragma once

#include <vector>

#include "platform/cstring.h"

class CSearchHistory {
public:
    // One change to the items, to be applied to the combo box in order.
    struct Change {
        enum Kind { Insert, Delete } kind;
        int nIndex;
        CString text;  // for Insert
        bool operator==(const Change&) const = default;
    };

    // What a notification asks of the dialog besides the item changes.
    struct Effect {
        bool bSetLetters = false;  // put `letters` into the letters box
        CString letters;
        int nSelect = -1;  // select this item again (its text into the edit field)
    };

    // The entry Find records for a query: "pattern (letters)" with letters,
    // "length (PARSED)" for an anagram search (PARSED as ParseQuery writes
    // it: "3 (CA@)", "4 (T[SZ]??)"), else the pattern as typed.
    static CString EntryFor(const CString& strPattern, const CString& strLetters, bool bAnagram,
                            const CString& strParsedPattern);

    // Find's insertion: at the top, unless the entry is already there (case
    // ignored; the shortened item counts as the entry it stands for).
    void Add(const CString& entry);

    // The combo box's notifications; `nSelection` is its current selection
    // (-1 for none).
    Effect OnSelChange(int nSelection);
    void OnDropDown();
    Effect OnCloseUp(int nSelection);

    // The items as the combo box shows them, top first.
    const std::vector<CString>& Items() const { return m_items; }
    // The changes made since the last call, oldest first.
    std::vector<Change> TakeChanges();

    int GetSplitIndex() const { return m_nSplitIndex; }
    const CString& GetSplitEntry() const { return m_strSplitEntry; }
    bool IsDropped() const { return m_bDropped != 0; }
    bool IsSelChanged() const { return m_bSelChanged != 0; }

private:
    void RestoreHistoryEntry();
    Effect SplitHistoryEntry(int nSelection);
    void InsertItem(int nIndex, const CString& text);
    void DeleteItem(int nIndex);

    std::vector<CString> m_items;
    std::vector<Change> m_changes;
    int m_bDropped = 0;
    int m_bSelChanged = 0;
    int m_nSplitIndex = -1;
    CString m_strSplitEntry;
};
