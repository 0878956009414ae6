#pragma once

class wxString;
class wxWindow;

// What a screen reader says for a control: its name, and as its description
// the tooltip, which the toolkit passes on. The name replaces the one the
// toolkit would take from a caption, so "Open" can be read as "Open pane 3";
// inner parts that take the focus (the text field of a chooser, the text of
// a multi-line box) get the same name.
void SetAccessibleName(wxWindow* control, const wxString& name);
void SetAccessibleText(wxWindow* control, const wxString& name, const wxString& description);
