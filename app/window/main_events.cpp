// What the main window does, the same in both front ends (see main_window.h).
#include "app/dialog/config_dialog.h"
#include "app/window/main_menu.h"
#include "app/window/main_window.h"
#include "link/serial_link.h"
#include "protocol/drop.h"
#include "protocol/poll.h"
#include "protocol/store.h"
#include "ui/alerts.h"

// Set when a menu, or a window that Esc closes (the configuration dialog, the chooser, the
// About box), may have closed: until Esc is seen up, no tick starts a transfer, which the
// key still held from closing it would stop at its first byte.
static bool EscapeMayBeClosing;

// True while ticks must wait. While a menu is open no tick does anything: a transfer run
// from inside the menu's loop would hold the desktop under its grab, and Esc would not close
// the menu. The Z88's bytes wait in the port's buffer meanwhile.
static bool TicksHeld(void)
{
    if (MenuOpenNow()) {
        EscapeMayBeClosing = true;
        return true;
    }
    if (EscapeMayBeClosing && EscapeHeld())
        return true;
    EscapeMayBeClosing = false;
    return false;
}

void ShowLinkState(WindowHandle window)
{
    ShowPortState(window, LinkIsOpen());
    int changed;
    MainWindowState(&changed);
    if (changed)
        RedrawMainWindow(window);
}

void StartMainWindow(WindowHandle window)
{
    OpenLink();
    ShowLinkState(window);
}

void MainWindowTick(WindowHandle window)
{
    if (TicksHeld())
        return;
    PollLink(window);
    SendQueuedFiles(window);
    ShowLinkState(window);
}

void OpenConfiguration(WindowHandle window)
{
    // Modal, owned by the window; its result is not needed.
    ConfigDialog(window);
    EscapeMayBeClosing = true;
    ShowLinkState(window);
}

void MainMenuClosed(WindowHandle window, int chosen)
{
    RunMenuItem(window, chosen);
    EscapeMayBeClosing = true;
}

void MainWindowDropped(WindowHandle window, const std::vector<std::string>& paths)
{
    std::vector<const char*> list;
    for (const std::string& path : paths)
        list.push_back(path.c_str());
    SendDroppedFiles(window, list.data(), (int)list.size());
    ShowLinkState(window);
}
