// The Linux program's command line: --version and --help answer and end the program before it
// looks for a display. Every other argument names a file (or a folder) to send, as one drop:
// what a desktop launcher passes with "Open With"; other options are ignored.
#ifndef TARNWELL_COMMAND_LINE_H
#define TARNWELL_COMMAND_LINE_H

#include <string>
#include <vector>

// Prints the version or the help on standard output when an argument before any "--" asks
// for it, and returns the status to end with: 0, or 1 when the text could not be written.
// -1 when the program is to start.
int AnswerCommandLine(int argc, char** argv);

// The files the command line names, in order, as full paths: every argument after a "--",
// and before it every one that does not start with '-'.
std::vector<std::string> FilesOnCommandLine(int argc, char** argv);

#endif
