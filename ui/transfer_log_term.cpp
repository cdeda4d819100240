// Terminal implementation of the transfer log, for tarnwell-cli: each line goes to standard
// output as it comes, in the order of the transfers (a script reads them as they happen).
#include "ui/transfer_log.h"

#include "ui/terminal.h"

#include <stdio.h>

void AddLogEntry(WindowHandle, const char* line)
{
    EndProgressLine();
    printf("%s\n", line);
    fflush(stdout);
}
