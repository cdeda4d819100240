// What the program's FLTK windows share (the main window, the two status windows and the
// configuration dialog): the desktop's DPI (ScreenDpi, screen_dpi.h, is defined here), the
// dialog font and the Windows sizes in dialog units measured with it, where an owned window
// goes, and what the window manager is told about each window.
#ifndef TARNWELL_WINDOWS_FLTK_H
#define TARNWELL_WINDOWS_FLTK_H

#include "ui/window_handle.h"

#include <FL/Enumerations.H>

// The counterpart of 8-point "MS Sans Serif": 11 pixels at 96 dots per inch, and as much
// larger as the desktop's DPI (ScreenDpi). Opens the display.
enum { DialogFontFace = FL_HELVETICA };
int DialogFontSize(void);

// A length in pixels at 96 dpi, at the desktop's DPI: for what FLTK draws in fixed pixels.
int DesktopPixels(int pixels);

// Scales FLTK's own defaults to the desktop's DPI: the text of its message boxes, menus and
// tooltips, and the width of scroll bars. Once, at start-up, before any window is made.
void ScaleToolkitToDesktop(void);

// Sizes in pixels of dialog units measured with the dialog font (opens the display), so
// that they grow with the desktop's DPI as the font does.
int DialogWidth(int units);
int DialogHeight(int units);

// Where the owner's client area begins on the screen (0, 0 without a shown owner), asked of
// the server: the event loop may not have run since the window manager placed the owner.
void OwnerClientOrigin(WindowHandle owner, int* x, int* y);

// Shows a window owned by `owner` (a status window, the dialog) and tells the window manager
// about it: it belongs to the owner (kept above it, as an owned window is on Windows), may be
// moved but not resized, and has a close control only when closable.
void ShowOwnedWindow(Fl_Window* window, WindowHandle owner, int closable);

#endif
