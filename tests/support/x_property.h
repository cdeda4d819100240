// What the X server holds about a window, for the Linux GUI tests, through FLTK's connection
// to it (desktop_fltk.cpp). Xlib defines None and Bool: include it after googletest.
#ifndef TARNWELL_TEST_X_PROPERTY_H
#define TARNWELL_TEST_X_PROPERTY_H

#include "tests/support/desktop.h"

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

// The 32-bit items of the window's property `name` (none when it is missing).
std::vector<long> WindowProperty(Window window, const char* name);

// The window's WM_NAME ("" when it has none), whether it is mapped and viewable, and where
// it is on the screen (nothing when it is not there).
std::string WindowTitle(Window window);
bool WindowViewable(Window window);
ScreenArea AreaOfXWindow(Window window);

// The windows from `start` down (itself included) for which `match` holds, wherever a window
// manager framed them: depth first, each window before its children, lowest first.
std::vector<Window> WindowsWhere(Window start, const std::function<bool(Window)>& match);

// Asks the window to close, as a window manager's close control does (WM_DELETE_WINDOW).
void RequestClose(Window window);

#endif
