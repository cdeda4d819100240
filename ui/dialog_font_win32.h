// Windows: the dialog font of the templates, 8-point "MS Sans Serif", at a window's DPI, for
// text the program draws itself in the dialogs' look.
#ifndef TARNWELL_DIALOG_FONT_WIN32_H
#define TARNWELL_DIALOG_FONT_WIN32_H

#include <windows.h>

// A new font for the window's DPI (see ScreenDpi); the caller deletes it (DeleteObject).
HFONT CreateDialogFont(HWND window);

#endif
