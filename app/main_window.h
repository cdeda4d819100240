// The main window, as far as both front ends share it: where it stands, how big it is, and
// the title it shows. The window itself is main_win32.cpp (Win32) or main_fltk.cpp (FLTK).
#ifndef TARNWELL_MAIN_WINDOW_H
#define TARNWELL_MAIN_WINDOW_H

#include "ui/window_handle.h"

// The outer top left corner of the window on the screen, frame included.
enum { MainWindowX = 32, MainWindowY = 32 };

// The window's outer width and height, frame and caption included, for a screen of the given
// size in pixels and DPI: an eighth of its width and a fourteenth of its height, and 20
// pixels more each at 96 dpi (for the frame, which grows with the DPI as the screen does).
int MainWindowWidth(int screenWidth, int dpi);
int MainWindowHeight(int screenHeight, int dpi);

// The text the main window shows in its caption: "Tarnwell" from start-up on. Set here and
// nowhere else, so that a later state of the program can say so in the caption. Takes a copy
// (at most 127 characters); with a window, its caption changes at once, and a text the
// caption already shows is left alone.
void SetMainWindowTitle(WindowHandle window, const char* title);

// The caption's text as last set, for a window being made.
const char* MainWindowTitleNow(void);

// Puts the text in the window's caption: the toolkit's own call, one in each front end.
void ShowMainWindowTitle(WindowHandle window, const char* title);

// The caption for the state of the link: "Tarnwell" while a port is open, "Tarnwell - no
// port" while there is none (it did not open, or went away and is being tried again). The
// front ends set it after everything that may open or lose the port: start-up, each tick,
// the configuration dialog.
const char* MainWindowTitle(int portOpen);

// What the client area says, one item a line: the port and its rate ("COM1, 9600 baud", or
// "No port: COM3"), the store folder, and the last transfer. Made afresh at each call;
// `changed` is set when it differs from what the call before made, so that the front ends,
// which ask after everything that may change it, draw the window again only then.
const char* MainWindowState(int* changed);

#endif
