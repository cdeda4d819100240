// The Linux program's command line: --version and --help answer and end the program before it
// looks for a display. Every other argument is ignored, as the Windows program ignores its
// command line: a desktop launcher may pass the names of files, which must do no harm.
#ifndef TARNWELL_COMMAND_LINE_H
#define TARNWELL_COMMAND_LINE_H

// Prints the version or the help on standard output when an argument before any "--" asks
// for it, and returns the status to end with: 0, or 1 when the text could not be written.
// -1 when the program is to start.
int AnswerCommandLine(int argc, char** argv);

#endif
