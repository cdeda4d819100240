// Terminal implementation of the alerts, for tarnwell-cli: a stop signal (Ctrl-C) stands in
// for the held Esc key, the connect-failure message goes to standard error, and a file
// transferred whole is said in words instead of a beep.
#include "ui/alerts.h"

#include "ui/terminal.h"

#include <stdio.h>

// The flag stays set: once asked to stop, every later byte fails as well, and the program
// ends after the transfer it is in.
int EscapeHeld(void)
{
    return StopSignal() != 0;
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
