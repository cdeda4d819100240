// The main window's caption text, kept once for both front ends (see main_window.h). An
// object of its own in the library, so that what uses only the geometry needs no front end.
#include "app/window/main_window.h"

#include <stdio.h>
#include <string.h>

static char Title[128] = "Tarnwell";

const char* MainWindowTitleNow(void)
{
    return Title;
}

void ShowPortState(WindowHandle window, int portOpen)
{
    // Each tick sets the caption; only a change reaches the window.
    const char* title = portOpen ? "Tarnwell" : "Tarnwell - no port";
    if (strcmp(title, Title) == 0)
        return;
    snprintf(Title, sizeof Title, "%s", title);
    ShowMainWindowTitle(window, Title);
}
