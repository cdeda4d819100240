// The text of the main window's client area, the same on both front ends (see main_window.h).
#include "app/window/main_window.h"

#include "link/serial_link.h"
#include "protocol/outcome.h"
#include "protocol/store.h"
#include "settings/settings.h"

#include <stdio.h>

const StateLine* MainWindowState(int* changed)
{
    static StateLine shown[StateLineCount];
    char port[TextSize], folder[TextSize];
    DescribeLink(port);
    // While no port is open the folder the next one will store into: the setting as it
    // stands, looked at without writing it back (a port that does not open leaves the other
    // settings unread).
    if (LinkIsOpen())
        snprintf(folder, sizeof folder, "%s", StoreDirectory);
    else
        PeekSetting(SettingDirectory, folder);
    StateLine state[StateLineCount] = {
        {"", port, "", false},
        {"Folder: ", folder, "", true},
        {"", "Nothing transferred yet", "", false},
    };
    if (LastTransfer.what[0])
        state[2] = {std::string(LastTransfer.what) + " ", LastTransfer.name, std::string(", ") + LastTransfer.clock,
                    false};
    *changed = 0;
    for (int i = 0; i < StateLineCount; i++) {
        const StateLine& now = state[i];
        const StateLine& was = shown[i];
        if (now.lead != was.lead || now.name != was.name || now.trail != was.trail) {
            shown[i] = now;
            *changed = 1;
        }
    }
    return shown;
}
