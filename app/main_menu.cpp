// The main window's menu items and its About text (see main_menu.h).
#include "app/main_menu.h"

#include "tarnwell_version.h"

const MainMenuItem MainMenu[MainMenuSize] = {
    {MenuSendFiles, "Send Files..."},
    {MenuOpenStoreFolder, "Open Store Folder"},
    {MenuConfiguration, "Configuration..."},
    {MenuAbout, "About Tarnwell"},
};

std::string AboutText(const char* settingsPlace)
{
    return std::string("Tarnwell ") + TARNWELL_VERSION +
           "\nFile transfer between a Z88 and this computer over a serial cable.\n\n"
           "MIT License. Copyright (c) 2026 The Tarnwell developers.\n\n"
           "Settings: " + settingsPlace;
}
