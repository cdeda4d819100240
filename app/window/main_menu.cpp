// The main window's menu items, and what "About Tarnwell" says (see main_menu.h).
#include "app/window/main_menu.h"

#include "app/window/autostart.h"
#include "app/window/main_window.h"
#include "base/text.h"
#include "settings/profile.h"
#include "tarnwell_version.h"
#include "ui/transfer_log.h"

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

// "Start with Windows" / "Start at Login": turned over from what the system says now.
static void ToggleAutostart(WindowHandle window)
{
    char reason[TextSize];
    if (!SetAutostart(!AutostartOn(), reason)) {
        std::string line = std::string(AutostartLabel) + " - " + reason + ".";
        AddFailureEntry(window, line.c_str());
    }
}

const MainMenuItem MainMenu[MainMenuSize] = {
    {"Send Files...", SendChosenFiles, nullptr},
    {"Open Store Folder", OpenStoreFolder, nullptr},
    {"Configuration...", OpenConfiguration, nullptr},
    {AutostartLabel, ToggleAutostart, AutostartOn},
    {"About Tarnwell", About, nullptr},
    {"Exit", ExitProgram, nullptr},
};

void RunMenuItem(WindowHandle window, int number)
{
    if (number >= 1 && number <= MainMenuSize)
        MainMenu[number - 1].run(window);
}

int MenuItemChecked(int index)
{
    if (index < 0 || index >= MainMenuSize || !MainMenu[index].checked)
        return -1;
    return MainMenu[index].checked() ? 1 : 0;
}
