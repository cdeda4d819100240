// Windows: whether the window program runs (see instance.h), found as a second start of it
// finds it, by its main window's class.
#include "app/window/single_start.h"

#include <windows.h>

int WindowProgramRuns(void)
{
    return FindWindowA("Z88_Server_Window_Class", NULL) != NULL;
}
