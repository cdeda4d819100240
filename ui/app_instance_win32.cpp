// The program's instance handle (see app_instance_win32.h): defined here, beside the windows
// that load their templates through it, and set by start-up.
#include "ui/app_instance_win32.h"

HINSTANCE AppInstance;
