// The text of the main window's client area, the same on both front ends (see main_window.h).
#include "app/main_window.h"

#include "link/serial_link.h"
#include "protocol/outcome.h"

#include <stdio.h>
#include <string.h>

const char* MainWindowState(int* changed)
{
    static char shown[3 * TextSize + 32];
    char port[TextSize], state[sizeof shown];
    DescribeLink(port);
    // The folder is known once a port has opened; the last transfer once one has ended.
    snprintf(state, sizeof state, "%s\n%s%s\n%s", port, StoreDirectory[0] ? "Folder: " : "",
             StoreDirectory, LastTransfer[0] ? LastTransfer : "Nothing transferred yet");
    *changed = strcmp(state, shown) != 0;
    if (*changed)
        memcpy(shown, state, sizeof shown);
    return shown;
}
