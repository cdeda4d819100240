// The window program's command line: the files (or folders) it names are sent as one drop,
// what a desktop launcher passes with "Open With". Linux: command_line_posix.cpp, where
// --version and --help answer and end the program before it looks for a display, and other
// options are ignored; Windows: command_line_win32.cpp, where every argument names a file.
#ifndef TARNWELL_COMMAND_LINE_H
#define TARNWELL_COMMAND_LINE_H

#include <string>
#include <vector>

// Linux: prints the version or the help on standard output when an argument before any "--" asks
// for it, and returns the status to end with: 0, or 1 when the text could not be written.
// -1 when the program is to start.
int AnswerCommandLine(int argc, char** argv);

// The files the command line names, in order, as full paths (a running program that is
// handed them has a working folder of its own). Linux: every argument after a "--", and
// before it every one that does not start with '-'. Windows: every argument; one that has
// no full path stays as it is, for the send session to refuse with its reason.
std::vector<std::string> FilesOnCommandLine(int argc, char** argv);

#endif
