#pragma once

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <string>

namespace marovine {

// Small pieces the property dialogs are laid out with.

// A caption over a full-width edit; answers the edit.
wxTextCtrl* AddCaptionedEdit(wxWindow* parent, wxSizer* column, const std::string& caption,
                             long style = 0);
// A caption, then a new row for the edit and its buttons; answers the row.
wxBoxSizer* AddCaptionedRow(wxWindow* parent, wxSizer* column, const std::string& caption);
wxButton* AddSmallButton(wxWindow* parent, wxSizer* row, const std::string& label);
// The OK and Cancel buttons, OK the default (Enter) and Cancel on Escape.
wxButton* AddOkCancel(wxWindow* parent, wxSizer* column);
// Gives every one-line edit under `top` the height its font needs: wxGTK
// measures entries for the theme's default font, and with a larger desktop
// font their text would be cut off at the bottom.
void FitEditHeights(wxWindow* top);

// Shows a refused entry's message and puts the focus back into the edit.
void RefuseEdit(wxWindow* parent, wxTextCtrl* edit, const std::string& message);

}  // namespace marovine
