// Runs a program of the Linux host that runs the tests (xdotool, ImageMagick, the test line
// tool), from the native tests and from the Windows tests under Wine alike.
#ifndef TARNWELL_TEST_HOST_TOOL_H
#define TARNWELL_TEST_HOST_TOOL_H

#include <string>
#include <vector>

// Runs arguments[0] (searched on the host's PATH unless it is a path) with the others as its
// arguments, each handed over as it is (no shell), and waits for it to end, however long that
// takes: a busy machine never cuts a tool short, and a test's own time limit is the backstop.
// Its exit status; another non-zero value when it could not be started or did not exit.
int RunHostTool(const std::vector<std::string>& arguments);

// Linux: 1 while the terminal device at `path` is marked exclusive (TIOCEXCL), as a serial
// port is while a program has it open; 0 when it is not; -1 when that cannot be told.
int TerminalMarkedExclusive(const char* path);

#endif
