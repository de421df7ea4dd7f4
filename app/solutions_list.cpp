#include "app/solutions_list.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/settings.h>

#include "app/accessibility.h"

namespace {
constexpr const char* kColumnTitle = "Solutions";
constexpr const char* kReasonColumnTitle = "Reason";
}  // namespace

// The model owns the rows: the control holds its own reference to the model,
// so the rows stay valid for as long as anything (GTK, the accessibility
// layer) can still ask the model for a cell, even while the control is
// being destroyed.
class CSolutionsList::Model : public wxDataViewVirtualListModel {
public:
    Model() = default;

    unsigned int GetColumnCount() const override { return 2; }
    wxString GetColumnType(unsigned int) const override { return "string"; }
    void GetValueByRow(wxVariant& value, unsigned int row, unsigned int col) const override {
        const std::vector<std::string>& texts = col == 0 ? m_rows : m_reasons;
        value = row < texts.size() ? wxString::FromUTF8(texts[row].c_str()) : wxString();
    }
    bool SetValueByRow(const wxVariant&, unsigned int, unsigned int) override { return false; }

    std::vector<std::string> m_rows;
    std::vector<std::string> m_reasons;  // empty, or one per row
};

CSolutionsList::CSolutionsList(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxDataViewCtrl(parent, id, pos, size, wxDV_NO_HEADER | wxDV_MULTIPLE | wxBORDER_THEME) {
    m_model = new Model;
    AssociateModel(m_model.get());
    // A fixed width (not resizable, not auto-sized) keeps GTK's tree view in
    // fixed-height mode, which is what makes large lists fast.
    // The header is hidden; its title is the column's name for screen
    // readers.
    m_column = AppendTextColumn(kColumnTitle, 0, wxDATAVIEW_CELL_INERT, 16, wxALIGN_LEFT, 0);
    // The reasons: a column of its own, so that a screen reader reads each
    // row's word and then its reason, and copying takes the words alone.
    m_reasonColumn = AppendTextColumn(kReasonColumnTitle, 1, wxDATAVIEW_CELL_INERT, 16, wxALIGN_LEFT, 0);
    m_reasonColumn->SetHidden(true);

    wxClientDC dc(this);
    dc.SetFont(GetFont());
    for (int i = 0; i < 26; ++i)
        m_letterWidths[i] = dc.GetTextExtent(wxString(wxUniChar('A' + i))).x;
    // Room for the cell renderer's padding on both sides of the text.
    m_nCellPadding = dc.GetTextExtent("M").x;
    Bind(wxEVT_SIZE, &CSolutionsList::OnSize, this);
    UpdateColumnWidth();
    // Tab and the label's Alt+S reach GTK's scrolled window around the rows;
    // the keyboard belongs on the rows themselves, where the tree view makes
    // a row current as it takes the focus, so that arrows and Ctrl+C work.
    ForwardFocus(GetHandle(), GtkGetTreeView());
    Bind(wxEVT_SET_FOCUS, &CSolutionsList::OnSetFocus, this);
}

void CSolutionsList::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    // Arriving with nothing selected, the current row is selected too: the
    // first arrow key then moves on from it and Ctrl+C copies it at once.
    if (GetCount() == 0 || GetSelectedItemsCount() > 0)
        return;
    wxDataViewItem current = GetCurrentItem();
    if (!current.IsOk())
        current = m_model->GetItem(0);
    SetCurrentItem(current);
    Select(current);
}

size_t CSolutionsList::GetCount() const { return m_model->m_rows.size(); }

const std::string& CSolutionsList::GetRow(size_t row) const { return m_model->m_rows[row]; }

std::string CSolutionsList::GetReason(size_t row) const {
    return row < m_model->m_reasons.size() ? m_model->m_reasons[row] : std::string();
}

int CSolutionsList::MeasureText(const std::string& text) const {
    wxClientDC dc(const_cast<CSolutionsList*>(this));
    dc.SetFont(GetFont());
    return dc.GetTextExtent(wxString::FromUTF8(text.c_str())).x;
}

void CSolutionsList::SetRows(std::vector<std::string> rows, bool bGrowExtent, std::vector<std::string> reasons) {
    if (bGrowExtent && !rows.empty()) {
        // Words of one search share their length, so the widest is found by
        // summing letter advances and only that one is measured exactly.
        size_t widest = 0;
        int widestSum = -1;
        for (size_t i = 0; i < rows.size(); ++i) {
            int sum = 0;
            for (unsigned char c : rows[i])
                sum += (c >= 'A' && c <= 'Z') ? m_letterWidths[c - 'A'] : m_nCellPadding;
            if (sum > widestSum) {
                widestSum = sum;
                widest = i;
            }
        }
        const int width = std::max(MeasureText(rows[widest]), widestSum);
        if (m_nExtent < width)
            m_nExtent = width;
    }
    // The reasons' column is as wide as the widest reason: only the rows
    // listed are measured (with the limit, 100).
    m_nReasonWidth = 0;
    if (!reasons.empty()) {
        reasons.resize(rows.size());
        size_t longest = 0;
        for (size_t i = 0; i < reasons.size(); ++i)
            if (reasons[i].size() > reasons[longest].size())
                longest = i;
        m_nReasonWidth = MeasureText(reasons[longest]) + MeasureText("MM");
    }
    m_model->m_rows = std::move(rows);
    m_model->m_reasons = std::move(reasons);
    m_reasonColumn->SetHidden(m_model->m_reasons.empty());
    m_model->Reset(static_cast<unsigned int>(m_model->m_rows.size()));
    UpdateColumnWidth();
}

void CSolutionsList::SelectOnly(size_t row) {
    if (row >= m_model->m_rows.size())
        return;
    const wxDataViewItem item = m_model->GetItem(static_cast<unsigned int>(row));
    UnselectAll();
    Select(item);
    SetCurrentItem(item);
    EnsureVisible(item);
}

int CSolutionsList::GetSelectedCurrentRow() const {
    const wxDataViewItem current = GetCurrentItem();
    if (!current.IsOk() || !IsSelected(current))
        return -1;
    const unsigned int row = m_model->GetRow(current);
    return row < m_model->m_rows.size() ? static_cast<int>(row) : -1;
}

std::vector<std::string> CSolutionsList::GetSelectedRows() const {
    wxDataViewItemArray items;
    GetSelections(items);
    std::vector<unsigned int> indexes;
    for (const wxDataViewItem& item : items)
        indexes.push_back(m_model->GetRow(item));
    std::sort(indexes.begin(), indexes.end());
    std::vector<std::string> texts;
    for (unsigned int row : indexes)
        if (row < m_model->m_rows.size())
            texts.push_back(m_model->m_rows[row]);
    return texts;
}

int CSolutionsList::GetShownColumnWidth() const { return m_column->GetWidth(); }

void CSolutionsList::UpdateColumnWidth() {
    // Never narrower than the list, so a message row shows in full; wider
    // when a word needs it, which brings the horizontal scroll bar.
    // The room is what the rows get inside the border once the vertical
    // scroll bar shows: a column as wide as the whole control would always
    // bring a horizontal bar of its own.
    const int room = GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) -
                     2 * GetWindowBorderSize().x;
    // With reasons, the words' column keeps to the words and the reasons
    // take the rest of the room (or more, with the horizontal bar).
    const bool bReasons = !m_model->m_reasons.empty();
    const int width = bReasons ? m_nExtent + 2 * m_nCellPadding : std::max(m_nExtent + 2 * m_nCellPadding, room);
    if (width != m_nColumnWidth) {
        m_nColumnWidth = width;
        m_column->SetWidth(width);
    }
    if (bReasons)
        m_reasonColumn->SetWidth(std::max(m_nReasonWidth, room - width));
}

void CSolutionsList::OnSize(wxSizeEvent& event) {
    event.Skip();
    UpdateColumnWidth();
}
