// The program's instance handle (see program_module_win32.h): defined here, beside the windows
// that load their templates through it, and set by start-up.
#include "ui/program_module_win32.h"

HINSTANCE ProgramModule;
