// The Linux program's --version and --help (see command_line.h).
#include "app/command_line.h"

#include "tarnwell_version.h"

#include <stdio.h>
#include <string.h>

static const char Help[] =
    "Usage: tarnwell [--help | --version]\n"
    "The PC end of a serial cable to a Z88, in a small window. Files the Z88 sends are stored\n"
    "in the store directory; a copy they replace is kept under '_' and its name. Files dropped\n"
    "on the window go to the Z88 one after another. Click the window to set the serial port,\n"
    "the baud rate, XON/XOFF, the store directory and whether the Z88's full names are kept.\n"
    "Hold down Esc to stop a transfer.\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/tarnwell/tarnwell.ini (~/.config/tarnwell/tarnwell.ini).\n"
    "Other arguments are ignored. Without a window: tarnwell-cli. See tarnwell(1).\n";

int AnswerCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc && strcmp(argv[i], "--") != 0; i++) {
        if (strcmp(argv[i], "--help") == 0)
            fputs(Help, stdout);
        else if (strcmp(argv[i], "--version") == 0)
            printf("tarnwell %s\n", TARNWELL_VERSION);
        else
            continue;
        // A full disk or a closed pipe must not pass for an answer given.
        return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
    }
    return -1;
}
