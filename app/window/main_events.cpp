// What the main window does, the same in both front ends (see main_window.h).
#include "app/dialog/config_dialog.h"
#include "app/window/main_window.h"
#include "link/serial_link.h"
#include "protocol/drop.h"
#include "protocol/poll.h"
#include "protocol/store.h"

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
    OpenLinkAndStore();
    ShowLinkState(window);
}

void MainWindowTick(WindowHandle window)
{
    PollLink(window);
    SendQueuedFiles(window);
    ShowLinkState(window);
}

void OpenConfiguration(WindowHandle window)
{
    // Modal, owned by the window; its result is not needed.
    ConfigDialog(window);
    ShowLinkState(window);
}

void MainWindowDropped(WindowHandle window, const std::vector<std::string>& paths)
{
    std::vector<const char*> list;
    for (const std::string& path : paths)
        list.push_back(path.c_str());
    SendDroppedFiles(window, list.data(), (int)list.size());
    ShowLinkState(window);
}
