// Linux implementation of the terminal's platform half (terminal.h): the stop signals, the
// wait for a deadline or a stop, and the terminal's width.
#include "ui/terminal.h"

#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

static volatile sig_atomic_t Stop = 0;

static void NoteStop(int signal)
{
    Stop = signal;
}

void CatchStopSignals(void)
{
    struct sigaction action = {};
    action.sa_handler = NoteStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait between two ticks ends at once.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    // A reader that has gone must not end the program in the middle of a transfer.
    signal(SIGPIPE, SIG_IGN);
}

int StopSignal(void)
{
    return Stop;
}

void WaitForStopUntil(long long deadline)
{
    // ClockMs is CLOCK_MONOTONIC here (base/clock.h).
    struct timespec until;
    until.tv_sec = deadline / 1000;
    until.tv_nsec = (deadline % 1000) * 1000000;
    while (!Stop && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

int OutputIsTerminal(void)
{
    return isatty(STDOUT_FILENO);
}

void RedrawTerminalLine(const char* line)
{
    struct winsize size;
    int columns = ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    // Back to the start of the line, the new text, and away with what is left of the old.
    printf("\r%.*s\033[K", columns - 1, line);
}
