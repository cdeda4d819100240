// The main window's caption text, kept once for both front ends (see main_window.h). An
// object of its own in the library, so that what uses only the geometry needs no front end.
#include "app/main_window.h"

#include <stdio.h>
#include <string.h>

static char Title[128] = "Tarnwell";

const char* MainWindowTitleNow(void)
{
    return Title;
}

void SetMainWindowTitle(WindowHandle window, const char* title)
{
    // Each tick sets the caption; only a change reaches the window.
    if (window && title != Title && strcmp(title, Title) == 0)
        return;
    if (title != Title)
        snprintf(Title, sizeof Title, "%s", title);
    if (window)
        ShowMainWindowTitle(window, Title);
}
