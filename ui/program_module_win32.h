// The program's instance handle on Windows: the module whose resources hold the dialog
// templates. Start-up sets it before any window is made (test programs set it too).
#ifndef TARNWELL_PROGRAM_MODULE_WIN32_H
#define TARNWELL_PROGRAM_MODULE_WIN32_H

#include <windows.h>

extern HINSTANCE AppInstance;

#endif
