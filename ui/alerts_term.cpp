// Terminal implementation of the alerts, for tarnwell-cli: a stop signal (Ctrl-C) stands in
// for the held Esc key, the connect-failure message goes to standard error, and a file
// transferred whole is said in words instead of a beep.
#include "ui/alerts.h"

#include "ui/terminal.h"

#include <signal.h>
#include <stdio.h>

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
}

int StopSignal(void)
{
    return Stop;
}

// The flag stays set: once asked to stop, every later byte fails as well, and the program
// ends after the transfer it is in.
int EscapeHeld(void)
{
    return Stop != 0;
}

void ShowConnectFailure(const char* detail)
{
    EndProgressLine();
    fprintf(stderr, "tarnwell-cli: %s\n", ConnectFailureText);
    if (detail && *detail)
        fprintf(stderr, "%s\n", detail);
}

void SignalSuccess(void)
{
    ReportTransferWhole();
}
