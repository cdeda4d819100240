// The main window's right-click menu (also Shift+F10 and the menu key): its items in order.
// A front end shows the labels in its own menu, with a check mark where MenuItemChecked says
// so, and hands the chosen item's number (index + 1, 0 for none) to RunMenuItem.
#ifndef TARNWELL_MAIN_MENU_H
#define TARNWELL_MAIN_MENU_H

#include "ui/window_handle.h"

struct MainMenuItem {
    const char* label;
    void (*run)(WindowHandle window);
    int (*checked)(void);  // a check item's state, asked as the menu opens; null for others
};
enum { MainMenuSize = 6 };
extern const MainMenuItem MainMenu[MainMenuSize];

// Runs item `number` of MainMenu for `window`; nothing for any other number.
void RunMenuItem(WindowHandle window, int number);

// For item `index` of MainMenu: 1 when it is a check item that is on now, 0 when it is one
// that is off, -1 when it has no check mark.
int MenuItemChecked(int index);

// The items' toolkit halves, one of each in each front end: the file chooser whose files go
// through MainWindowDropped, the store directory in the desktop's file manager, a box
// captioned "About Tarnwell" that shows `text`, and the end of the program as the close box
// ends it. A failure is said in the transfer log.
void SendChosenFiles(WindowHandle window);
void OpenStoreFolder(WindowHandle window);
void ShowAbout(WindowHandle window, const char* text);
void ExitProgram(WindowHandle window);

#endif
