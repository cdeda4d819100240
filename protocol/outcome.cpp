// The end of every transfer, the same for both sessions (see outcome.h).
#include "protocol/outcome.h"

#include "base/failure.h"
#include "ui/alerts.h"
#include "ui/progress.h"
#include "ui/transfer_log.h"

#include <stdio.h>
#include <time.h>

TransferNote LastTransfer;

// The file's own name: what follows the last folder or device separator of a Z88 name or a
// path ("LETTER.TXT" of ":RAM.0/LETTER.TXT", "report.txt" of "C:\docs\report.txt").
static const char* ShortName(const char* name)
{
    const char* last = name;
    for (const char* at = name; *at; at++) {
        if (*at == '/' || *at == '\\' || *at == ':')
            last = at + 1;
    }
    return *last ? last : *name ? name : "(no name)";
}

void ReportOutcome(WindowHandle owner, TransferDirection direction, const char* name, int whole)
{
    int receiving = direction == TransferDirection::Receiving;
    time_t now = time(NULL);
    // The program's one thread is the only user of localtime's buffer.
    const struct tm* local = localtime(&now);
    LastTransfer.clock[0] = 0;
    if (local)
        strftime(LastTransfer.clock, sizeof LastTransfer.clock, "%H:%M", local);
    snprintf(LastTransfer.what, sizeof LastTransfer.what, "%s",
             whole ? (receiving ? "Received" : "Sent") : (receiving ? "Not received:" : "Not sent:"));
    snprintf(LastTransfer.name, sizeof LastTransfer.name, "%s", ShortName(name));
    if (whole)
        return;

    // Room for a name or a path of 127 characters and a reason of as many: a line cut to
    // 127 would lose the reason of a file with a long path.
    char line[2 * TextSize + 32];
    snprintf(line, sizeof line, "%s - not %s: %s.", name[0] ? name : "(no name)",
             receiving ? "received" : "sent", FailureReason[0] ? FailureReason : "it did not go whole");
    AddFailureEntry(owner, line);
}

int EndTransfer(WindowHandle owner, TransferDirection direction, const char* name, int whole)
{
    if (whole)
        SignalSuccess();
    ReportOutcome(owner, direction, name, whole);
    CloseProgress();
    return whole;
}
