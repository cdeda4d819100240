// What the X server holds about a window, for the Linux GUI tests, through FLTK's connection
// to it (desktop_fltk.cpp). Xlib defines None and Bool: include it after googletest.
#ifndef TARNWELL_TEST_X_PROPERTY_H
#define TARNWELL_TEST_X_PROPERTY_H

#include <X11/Xlib.h>

#include <vector>

// The 32-bit items of the window's property `name` (none when it is missing).
std::vector<long> WindowProperty(Window window, const char* name);

#endif
