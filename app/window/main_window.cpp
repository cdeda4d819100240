// The main window's size, the same on both front ends (see main_window.h).
#include "app/window/main_window.h"

#include "ui/screen_dpi.h"

int MainWindowWidth(int screenWidth, int dpi)
{
    return screenWidth / 8 + ScaleToDpi(20, dpi);
}

int MainWindowHeight(int screenHeight, int dpi)
{
    return screenHeight / 14 + ScaleToDpi(20, dpi);
}
