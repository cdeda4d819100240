// The main window's right-click menu (also Shift+F10 and the menu key), as far as both front
// ends share it: its items, and the text of "About Tarnwell". The menu itself is
// main_win32.cpp (TrackPopupMenu) or main_fltk.cpp (Fl_Menu_Item::popup).
#ifndef TARNWELL_MAIN_MENU_H
#define TARNWELL_MAIN_MENU_H

#include <string>

enum MenuCommand { MenuSendFiles = 1, MenuOpenStoreFolder, MenuConfiguration, MenuAbout };

struct MainMenuItem {
    MenuCommand command;
    const char* label;
};
enum { MainMenuSize = 4 };
extern const MainMenuItem MainMenu[MainMenuSize];

// What "About Tarnwell" says: the version, the licence, and where the settings live
// (`settingsPlace`, in the platform's words).
std::string AboutText(const char* settingsPlace);

#endif
