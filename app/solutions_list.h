// The solutions list: a column of words and, after a Find by a clue, a
// second column with each word's reason; no header, keyboard and mouse
// selection. It is GTK's own tree view (through wxDataViewCtrl) with a
// virtual model and a fixed-width column, so that tens of thousands of rows
// fill and paint at once and screen readers can read every row.
//
// The column's width plays the part of a list box's horizontal extent: it only
// ever grows, to the widest word listed since the list was created, and is
// never narrower than the list itself.
#pragma once

#include <string>
#include <vector>

#include <wx/dataview.h>

class CSolutionsList : public wxDataViewCtrl {
public:
    CSolutionsList(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);

    // Replaces the rows. The words widen the column when they need more room;
    // bGrowExtent false leaves the width as it is (for a message row).
    // `reasons`, when given, holds each row's reason for the second column
    // (empty: the column is hidden).
    void SetRows(std::vector<std::string> rows, bool bGrowExtent = true, std::vector<std::string> reasons = {});
    void Clear() { SetRows({}, false); }

    size_t GetCount() const;
    const std::string& GetRow(size_t row) const;
    // The row's reason ("" for none, and without a clue).
    std::string GetReason(size_t row) const;
    bool ShowsReasons() const { return !m_reasonColumn->IsHidden(); }
    // Selects only `row` and makes it the current row (programs and tests;
    // raises no selection event).
    void SelectOnly(size_t row);
    // The current row (the keyboard's) when it is selected, else -1.
    int GetSelectedCurrentRow() const;
    // The selected rows' words, top to bottom (never their reasons).
    std::vector<std::string> GetSelectedRows() const;

    // The widest text listed so far, in pixels (the horizontal extent).
    int GetExtent() const { return m_nExtent; }
    // The column's width as set, and as GTK has laid it out (after idle time).
    int GetColumnWidth() const { return m_nColumnWidth; }
    int GetShownColumnWidth() const;

    // Width of `text` in this list's font.
    int MeasureText(const std::string& text) const;

private:
    class Model;
    void UpdateColumnWidth();
    void OnSize(wxSizeEvent& event);
    void OnSetFocus(wxFocusEvent& event);

    wxObjectDataPtr<Model> m_model;
    wxDataViewColumn* m_column = nullptr;
    wxDataViewColumn* m_reasonColumn = nullptr;
    int m_nReasonWidth = 0;  // the widest reason of the rows, in pixels
    int m_nExtent = 0;
    int m_nColumnWidth = 0;
    int m_nCellPadding = 0;
    // Advance widths of 'A'..'Z', measured once: every word is upper case.
    int m_letterWidths[26] = {};
};
