// The main window's menu items, and what "About Tarnwell" says (see main_menu.h).
#include "app/window/main_menu.h"

#include "app/window/main_window.h"
#include "settings/profile.h"
#include "tarnwell_version.h"

#include <string>

// The version, the licence, and where the settings live, in the platform's words.
static void About(WindowHandle window)
{
    std::string text = std::string("Tarnwell ") + TARNWELL_VERSION +
                       "\nFile transfer between a Z88 and this computer over a serial cable.\n\n"
                       "MIT License. Copyright (c) 2026 The Tarnwell developers.\n\n"
                       "Settings: " + ProfileLocation();
    ShowAbout(window, text.c_str());
}

const MainMenuItem MainMenu[MainMenuSize] = {
    {"Send Files...", SendChosenFiles},
    {"Open Store Folder", OpenStoreFolder},
    {"Configuration...", OpenConfiguration},
    {"About Tarnwell", About},
};

void RunMenuItem(WindowHandle window, int number)
{
    if (number >= 1 && number <= MainMenuSize)
        MainMenu[number - 1].run(window);
}
