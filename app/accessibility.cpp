#include "app/accessibility.h"

#include <dlfcn.h>

#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>

namespace {

// The three GTK and ATK calls needed, looked up in the running process: the
// toolkit is loaded already, and its development headers are not needed.
using LabelSetMnemonicWidget = void (*)(void* label, GtkWidget* widget);
using WidgetGetAccessible = void* (*)(GtkWidget* widget);
using AtkObjectSetName = void (*)(void* accessible, const char* name);
using AtkObjectGetName = const char* (*)(void* accessible);

using SignalConnectData = unsigned long (*)(void* instance, const char* signal, void (*handler)(), void* data,
                                            void* destroy, int flags);
using WidgetGrabFocus = void (*)(GtkWidget* widget);
using ToolbarGetNthItem = GtkWidget* (*)(void* toolbar, int n);
using BinGetChild = GtkWidget* (*)(GtkWidget* bin);

template <typename F>
F Lookup(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_DEFAULT, name));
}

}  // namespace

bool LinkLabel(wxStaticText* label, GtkWidget* widget, const wxString& name) {
    static const auto setMnemonic = Lookup<LabelSetMnemonicWidget>("gtk_label_set_mnemonic_widget");
    static const auto getAccessible = Lookup<WidgetGetAccessible>("gtk_widget_get_accessible");
    static const auto setName = Lookup<AtkObjectSetName>("atk_object_set_name");
    if (!setMnemonic || !getAccessible || !setName || !widget || !label->GetHandle())
        return false;
    setMnemonic(label->GetHandle(), widget);
    if (void* accessible = getAccessible(widget))
        setName(accessible, name.utf8_str());
    return true;
}

bool SetAccessibleName(GtkWidget* widget, const wxString& name) {
    static const auto getAccessible = Lookup<WidgetGetAccessible>("gtk_widget_get_accessible");
    static const auto setName = Lookup<AtkObjectSetName>("atk_object_set_name");
    if (!getAccessible || !setName || !widget)
        return false;
    void* accessible = getAccessible(widget);
    if (!accessible)
        return false;
    setName(accessible, name.utf8_str());
    return true;
}

void NameToolButtons(wxToolBar* toolbar) {
    static const auto nthItem = Lookup<ToolbarGetNthItem>("gtk_toolbar_get_nth_item");
    static const auto binChild = Lookup<BinGetChild>("gtk_bin_get_child");
    if (!nthItem || !binChild || !toolbar || !toolbar->GTKGetToolbar())
        return;
    // GTK keeps one tool item per tool, separators included, in the tools'
    // order; the button that takes the focus is the tool item's child.
    for (size_t pos = 0; pos < toolbar->GetToolsCount(); ++pos) {
        const wxToolBarToolBase* tool = toolbar->GetToolByPos(static_cast<int>(pos));
        if (!tool || !tool->IsButton() || tool->GetShortHelp().empty())
            continue;
        GtkWidget* item = nthItem(toolbar->GTKGetToolbar(), static_cast<int>(pos));
        if (!item)
            continue;
        SetAccessibleName(item, tool->GetShortHelp());
        if (GtkWidget* button = binChild(item))
            SetAccessibleName(button, tool->GetShortHelp());
    }
}

void NamePictureButtons(wxWindow* root) {
    if (!root)
        return;
    for (wxWindow* child : root->GetChildren()) {
        auto* button = wxDynamicCast(child, wxButton);
        if (button && button->GetLabel().empty() && button->GetToolTip())
            SetAccessibleName(button->GetHandle(), button->GetToolTipText());
        NamePictureButtons(child);
    }
}

wxString AccessibleName(GtkWidget* widget) {
    static const auto getAccessible = Lookup<WidgetGetAccessible>("gtk_widget_get_accessible");
    static const auto getName = Lookup<AtkObjectGetName>("atk_object_get_name");
    if (!getAccessible || !getName || !widget)
        return wxString();
    void* accessible = getAccessible(widget);
    const char* name = accessible ? getName(accessible) : nullptr;
    return name ? wxString::FromUTF8(name) : wxString();
}

namespace {
WidgetGrabFocus GrabFocusCall() {
    static const auto grabFocus = Lookup<WidgetGrabFocus>("gtk_widget_grab_focus");
    return grabFocus;
}

// "focus-in-event" handler: hands the focus on; the event goes on as usual.
int OnFocusIn(GtkWidget*, void*, void* target) {
    GrabFocusCall()(static_cast<GtkWidget*>(target));
    return 0;
}
}  // namespace

bool ForwardFocus(GtkWidget* from, GtkWidget* to) {
    static const auto connect = Lookup<SignalConnectData>("g_signal_connect_data");
    if (!connect || !GrabFocusCall() || !from || !to)
        return false;
    connect(from, "focus-in-event", reinterpret_cast<void (*)()>(&OnFocusIn), to, nullptr, 0);
    return true;
}
