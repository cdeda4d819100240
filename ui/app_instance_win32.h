// Windows: AppInstance, the program's instance handle, whose resources hold the dialog
// templates. Start-up sets it before any window is made (test programs set it too).
#ifndef TARNWELL_APP_INSTANCE_WIN32_H
#define TARNWELL_APP_INSTANCE_WIN32_H

#include <windows.h>

extern HINSTANCE AppInstance;

#endif
