// Runs a program of the Linux host that runs the tests (xdotool, the test line tool), from
// the native tests and from the Windows tests under Wine alike.
#ifndef TARNWELL_TEST_HOST_COMMAND_H
#define TARNWELL_TEST_HOST_COMMAND_H

// `command` is one line: an absolute program path and its arguments, separated by blanks,
// an argument with blanks in double quotes. Waits up to `timeoutMs` for it to end. Its exit
// status, or -1 when it could not be started or did not end in time (it is then stopped).
int RunHostCommand(const char* command, int timeoutMs);

#endif
