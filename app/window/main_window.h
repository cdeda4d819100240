// The main window, as far as both front ends share it: where it stands, how big it is, the
// title it shows and what it does. The window itself is main_win32.cpp (Win32) or main_fltk.cpp (FLTK).
#ifndef TARNWELL_MAIN_WINDOW_H
#define TARNWELL_MAIN_WINDOW_H

#include "ui/window_handle.h"

#include <string>
#include <vector>

// The outer top left corner of the window on the screen, frame included.
enum { MainWindowX = 32, MainWindowY = 32 };

// Pixels at 96 dpi, scaled to the screen's (ScaleToDpi): the client area's margin around its
// text, and where the menu opened from the keyboard stands (right and down from the client
// area's top left corner).
enum { MainTextMargin = 4, KeyboardMenuCorner = 8 };

// The window's outer width and height, frame and caption included, for a screen of the given
// size in pixels and DPI: an eighth of its width and a fourteenth of its height, and 20
// pixels more each at 96 dpi (for the frame, which grows with the DPI as the screen does).
int MainWindowWidth(int screenWidth, int dpi);
int MainWindowHeight(int screenHeight, int dpi);

// The caption as it stands, for a window being made: "Tarnwell" from start-up on.
const char* MainWindowTitleNow(void);

// Puts the text in the window's caption, and has the client area drawn again: the toolkit's
// own calls, one of each in each front end.
void ShowMainWindowTitle(WindowHandle window, const char* title);
void RedrawMainWindow(WindowHandle window);

// Sets the caption for the port's state: "Tarnwell" while a port is open, "Tarnwell - no
// port" while there is none (it did not open, or went away and is being tried again). Only a
// change reaches the window.
void ShowPortState(WindowHandle window, int portOpen);

// What the window does, the same in both front ends (main_events.cpp); each leaves the
// caption showing the port's state and the client area showing MainWindowState, drawn again
// only when its text changed. StartMainWindow opens the link, before the window is
// shown; MainWindowTick is the one-second poll tick; OpenConfiguration runs the configuration
// dialog (a left click, and the menu's "Configuration..."); MainWindowDropped sends the
// dropped files (paths whole, in the drop's order).
void StartMainWindow(WindowHandle window);
// The caption and the client area after anything else that may have changed them.
void ShowLinkState(WindowHandle window);
void MainWindowTick(WindowHandle window);
void OpenConfiguration(WindowHandle window);
// A menu holds the pointer and the keyboard while it is open, and its loop goes on firing
// ticks: no tick polls or sends while one is open (MenuOpenNow, the toolkit's own: any menu
// of the program, the right-click one, the port menu or the window's system menu), nor after
// it or the configuration dialog while Esc, which may have closed them, is still down. Each
// front end calls MainMenuClosed once its right-click menu has gone, with the chosen item's
// number (as RunMenuItem takes it), which runs the item.
int MenuOpenNow(void);
void MainMenuClosed(WindowHandle window, int chosen);
void MainWindowDropped(WindowHandle window, const std::vector<std::string>& paths);

// One line of the client area: `name` between `lead` and `trail`, as "Received " "LETTER.TXT"
// ", 10:42". `folder`: the name is a folder, ended by its separator.
struct StateLine {
    std::string lead, name, trail;
    bool folder;
};

// What the client area says, StateLineCount lines: the port and its rate ("COM1, 9600
// baud", or "No port: COM3"), "Folder: " and the store folder (the setting "Directory" while
// no port is open), and the last transfer ("Received LETTER.TXT, 10:42", or "Nothing
// transferred yet"). Made afresh at each call; `changed` is set when it differs from what
// the call before made, so that the front ends, which ask after everything that may change
// it, draw the window again only then.
enum { StateLineCount = 3 };
const StateLine* MainWindowState(int* changed);

// A text's width in pixels, in the font the client area is drawn with.
typedef int (*TextWidth)(const char* text, void* context);

// The line as drawn into `width` pixels: whole when it fits. Else the name gives way, with
// "…" where it is cut: a folder keeps its beginning and its last folder ("/home/ann/…/LINK/"),
// another name its beginning, and the lead and the trail (a transfer's time) stay whole;
// when not even that fits, as much of the line as fits, and "…". The texts are UTF-8, and no
// character is cut in two.
std::string FitStateLine(const StateLine& line, int width, TextWidth measure, void* context);
// The lines fitted one by one, joined by '\n': the text both front ends draw.
std::string FitStateLines(const StateLine* lines, int count, int width, TextWidth measure, void* context);

#endif
