// The main window's geometry and caption, the same on both front ends (see main_window.h).
#include "app/main_window.h"

int MainWindowWidth(int screenWidth)
{
    return screenWidth / 8 + 20;
}

int MainWindowHeight(int screenHeight)
{
    return screenHeight / 14 + 20;
}

const char* MainWindowTitle(int portOpen)
{
    return portOpen ? "Tarnwell" : "Tarnwell - no port";
}
