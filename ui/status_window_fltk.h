// What the two FLTK status windows share: the dialog font and the Windows sizes in
// dialog units measured with it, and what the window manager is told about each window.
#ifndef TARNWELL_STATUS_WINDOW_FLTK_H
#define TARNWELL_STATUS_WINDOW_FLTK_H

#include "ui/window_handle.h"

#include <FL/Enumerations.H>

// The counterpart of 8-point "MS Sans Serif" at 96 dots per inch: 11 pixels.
enum { DialogFontFace = FL_HELVETICA, DialogFontSize = 11 };

// Sizes in pixels of dialog units measured with the dialog font (opens the display).
int DialogWidth(int units);
int DialogHeight(int units);

// Shows a status window and tells the window manager about it: it belongs to owner (kept
// above it, as an owned window is on Windows), may be moved but not resized, and has a
// close control only when closable.
void ShowStatusWindow(Fl_Window* window, WindowHandle owner, int closable);

#endif
