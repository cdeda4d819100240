// The platform half of the configuration dialog, below config_dialog.cpp: the few operations
// on the open dialog's controls that the shared logic needs, keyed by the control ids of
// resources/resource.h. They are the counterparts of SetDlgItemTextA, GetDlgItemTextA,
// CheckDlgButton, IsDlgButtonChecked and EM_LIMITTEXT; one implementation per toolkit.
#ifndef TARNWELL_DIALOG_ITEMS_H
#define TARNWELL_DIALOG_ITEMS_H

#include "ui/window_handle.h"

void SetItemText(WindowHandle dialog, int id, const char* text);

// Copies the field's text into `buffer` of `size` bytes; the limit below keeps it whole.
void GetItemText(WindowHandle dialog, int id, char* buffer, int size);

void CheckItem(WindowHandle dialog, int id, int checked);
int ItemChecked(WindowHandle dialog, int id);

// Lets the field take at most `bytes` bytes of text, typed or pasted.
void LimitItemText(WindowHandle dialog, int id, int bytes);

// Says what is wrong in a message box captioned "Tarnwell" owned by the dialog, and once
// it is dismissed gives the field `id` the focus with its text selected (no field for 0).
void ShowItemProblem(WindowHandle dialog, int id, const char* text);

// The shared logic, which the toolkit's dialog calls:
// when it opens, with its controls made: the five settings read into them, in order;
void LoadConfigDialog(WindowHandle dialog);
// on OK: the fields checked, then the five stored, in order, and the link reopened; non-zero
// when the dialog may end. A field that is wrong, or a settings file that cannot be written,
// has been shown with ShowItemProblem, and the dialog stays open.
int SaveConfigDialog(WindowHandle dialog);

#endif
