// Windows: whether the window program runs (see single_start.h), found as a second start
// finds it, by its main window's class.
#include "app/window/single_start.h"

#include <windows.h>

int WindowProgramRuns(void)
{
    return FindWindowA(MainWindowClass, NULL) != NULL;
}
