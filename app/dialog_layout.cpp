#include "app/dialog_layout.h"

wxRect CDialogLayout::ToPixels(const tmpl::Rect& r) const {
    const wxPoint pos = m_dialog->ConvertDialogToPixels(wxPoint(r.x, r.y));
    const wxSize size = m_dialog->ConvertDialogToPixels(wxSize(r.cx, r.cy));
    return wxRect(pos, size);
}

wxRect CDialogLayout::Grown(wxWindow* control, const tmpl::Rect& r) const {
    wxRect rect = ToPixels(r);
    const wxSize best = control->GetBestSize();
    rect.width = std::max(rect.width, best.x);
    rect.height = std::max(rect.height, best.y);
    return rect;
}

wxRect CDialogLayout::Place(wxWindow* control, const tmpl::Rect& r, bool bUseTemplateHeight) {
    wxRect rect = Grown(control, r);
    if (!bUseTemplateHeight)
        rect.height = control->GetBestSize().y;
    PlaceRect(control, rect);
    return rect;
}

void CDialogLayout::PlaceRect(wxWindow* control, const wxRect& rect) {
    control->SetSize(rect);
    m_bounds = m_bounds.IsEmpty() ? rect : m_bounds.Union(rect);
}

void CDialogLayout::FitDialog(int cxTemplate, int cyTemplate) {
    const wxSize templ = m_dialog->ConvertDialogToPixels(wxSize(cxTemplate, cyTemplate));
    const wxSize margin = m_dialog->ConvertDialogToPixels(wxSize(4, 4));
    wxSize client = templ;
    client.IncTo(wxSize(m_bounds.GetRight() + 1 + margin.x, m_bounds.GetBottom() + 1 + margin.y));
    m_dialog->SetClientSize(client);
}
