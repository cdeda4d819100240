// A child process of a test (Linux): started with arguments and the test's environment (the
// program searched on PATH unless it is a path), its standard output and error taken on
// threads of their own when asked, so that it never waits for the test; waited for; stopped.
#ifndef TARNWELL_TEST_PROCESS_H
#define TARNWELL_TEST_PROCESS_H

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <thread>
#include <vector>

enum ChildOutput {
    InheritOutput,   // the test's own standard output and error
    DiscardOutput,   // both to /dev/null
    CollectOutput,   // standard output and error on pipes, kept in `out` and `err`
    TerminalOutput,  // the same, standard output on a new terminal (a pty)
};

struct ChildProcess {
    pid_t pid = 0;
    std::string out, err;
    std::thread outReader, errReader;
};

// Starts `path` with `arguments` after its name; with collected output, standard input is
// empty. False when it could not be started.
bool StartChild(ChildProcess* child, const std::string& path, const std::vector<std::string>& arguments,
                ChildOutput output = InheritOutput);

// The same for a program of this build (tarnwell, tarnwell-cli, or their packaged copies):
// started through the build's emulator when they are for another processor (the arm64 tree,
// under qemu), since the kernel here cannot start them itself.
bool StartBuiltProgram(ChildProcess* child, const std::string& path, const std::vector<std::string>& arguments,
                       ChildOutput output = InheritOutput);
// That emulator and its options, each followed by a space, to stand before a program's path in
// a shell command; "" in a native build.
const char* BuildEmulator();

// Waits up to `timeoutMs` (without a limit when negative) for it to end: its exit code; 256
// plus the signal when a signal ended it; -1 while it runs (or when none was started). Once
// it has ended, the collected output is complete.
int WaitForChild(ChildProcess* child, int timeoutMs);

// Sends it `signal` if it still runs, and waits for it to end.
void KillChild(ChildProcess* child, int signal = SIGKILL);

// The descriptors the process `pid` has open (/proc/PID/fd; the test's own for 0); -1 when
// they cannot be counted.
int OpenDescriptors(pid_t pid);

#endif
