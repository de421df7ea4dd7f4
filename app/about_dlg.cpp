#include "app/about_dlg.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "app/dialog_layout.h"
#include "res/dialog_templates.h"
#include "res/gui_images.h"
#include "res/string_table.h"

namespace t = tmpl::about_dlg;

CAboutDlg::CAboutDlg(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, t::kCaption, wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    CDialogLayout layout(this);
    // Template order: the texts, OK, the name, then the picture, which can be
    // neither clicked nor focused.
    auto* version = new wxStaticText(this, wxID_ANY, kAppVersionText);
    auto* notice = new wxStaticText(this, wxID_ANY, t::kNoticeText);
    auto* ok = new wxButton(this, t::IDC_OK, t::kOkText);
    auto* name = new wxStaticText(this, wxID_ANY, t::kNameText);
    m_pPicture = new wxStaticBitmap(this, t::IDC_PICTURE, LoadAboutBitmap());
    m_pPicture->SetName("Gridwell picture");

    layout.Place(version, t::kVersion);
    layout.Place(notice, t::kNotice);
    const wxRect okRect = layout.Place(ok, t::kOk);
    // The name sits beside OK, vertically centred on it once OK has grown.
    wxRect nameRect = layout.Grown(name, t::kName);
    nameRect.y = std::max(nameRect.y, okRect.y + (okRect.height - nameRect.height) / 2);
    layout.PlaceRect(name, nameRect);
    // The 80 x 80 picture, centred in the template's picture rectangle.
    wxRect pic = layout.ToPixels(t::kPicture);
    const wxSize bmp = m_pPicture->GetBestSize();
    pic.x += std::max(0, (pic.width - bmp.x) / 2);
    pic.y += std::max(0, (pic.height - bmp.y) / 2);
    pic.SetSize(bmp);
    layout.PlaceRect(m_pPicture, pic);
    layout.FitDialog(t::kWidth, t::kHeight);

    ok->SetDefault();
    SetAffirmativeId(t::IDC_OK);
    SetEscapeId(t::IDC_OK);
    ok->SetFocus();
    CentreOnParent();
}
