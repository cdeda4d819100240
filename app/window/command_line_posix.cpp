// The Linux program's --version and --help (see command_line.h).
#include "app/window/command_line.h"

#include "tarnwell_version.h"

#include <stdio.h>
#include <string.h>
#include <unistd.h>

static const char Help[] =
    "Usage: tarnwell [--help | --version] [FILE...]\n"
    "The PC end of a serial cable to a Z88, in a small window. Files the Z88 sends are stored\n"
    "in the store directory; a copy they replace is kept under '_' and its name. Files dropped\n"
    "on the window go to the Z88 one after another, as do the FILEs named here (a folder\n"
    "sends the files directly inside it); a Tarnwell already running sends them instead.\n"
    "Click the window to set the serial port, the baud rate, XON/XOFF, the store directory\n"
    "and whether the Z88's full names are kept; right-click it for a menu.\n"
    "Hold down Esc to stop a transfer.\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/tarnwell/tarnwell.ini (~/.config/tarnwell/tarnwell.ini).\n"
    "Other options are ignored. Without a window: tarnwell-cli. See tarnwell(1).\n";

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

std::vector<std::string> FilesOnCommandLine(int argc, char** argv)
{
    std::vector<std::string> files;
    // Full paths: a running program that is handed them has a working folder of its own.
    char here[4096];
    std::string folder = getcwd(here, sizeof here) ? std::string(here) + "/" : "";
    bool options = true;
    for (int i = 1; i < argc; i++) {
        if (options && strcmp(argv[i], "--") == 0)
            options = false;
        else if (!options || argv[i][0] != '-')
            files.push_back(argv[i][0] == '/' ? argv[i] : folder + argv[i]);
    }
    return files;
}
