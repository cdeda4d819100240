// Windows: the program's module (its instance handle), whose resources hold the dialog
// templates. Start-up sets it before any window is made (test programs set it too).
#ifndef TARNWELL_PROGRAM_MODULE_WIN32_H
#define TARNWELL_PROGRAM_MODULE_WIN32_H

#include <windows.h>

extern HINSTANCE ProgramModule;

#endif
