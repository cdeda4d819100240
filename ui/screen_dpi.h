// The screen's dots per inch, by which the program sizes what it draws and places by itself:
// everything is made for 96 dpi and grows in proportion. Shared arithmetic here; ScreenDpi
// is the platform's.
#ifndef TARNWELL_SCREEN_DPI_H
#define TARNWELL_SCREEN_DPI_H

#include "ui/window_handle.h"

enum { BaseDpi = 96 };

// The DPI of the screen the window stands on; without a window, the desktop's. Windows: the
// window's own (each monitor's), else the system's; Linux: the desktop's (see DesktopDpi).
int ScreenDpi(WindowHandle window);

// A length of `pixels` at 96 dpi, at `dpi`: rounded to the nearest pixel, halves up, and never
// less than 1 for a length of 1 or more.
int ScaleToDpi(int pixels, int dpi);

// The desktop's DPI on X: the resource Xft.dpi (its text, or null), as the desktop's font
// settings set it; else what the screen's width in pixels and in millimetres give, to the
// nearest quarter of 96 and no less than 96; else 96.
int DesktopDpi(const char* xftDpi, int widthPixels, int widthMillimetres);

#endif
