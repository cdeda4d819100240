// What became of each transfer, said once at its end by the session that ran it: kept in
// words for the main window (LastTransfer), and for a failed one a line with its reason
// (FailureReason, base/failure.h) in the transfer log.
#ifndef TARNWELL_OUTCOME_H
#define TARNWELL_OUTCOME_H

#include "settings/settings.h"
#include "ui/progress.h"
#include "ui/window_handle.h"

// The last transfer, for the main window, in three parts that it fits to its width: what
// became of it ("Received", "Sent", "Not received:", "Not sent:"), the file's own name
// ("LETTER.TXT" of ":RAM.0/LETTER.TXT", "report.txt" of a path) and the time ("10:42").
// All empty before the first.
struct TransferNote {
    char what[16];
    char name[TextSize];
    char clock[8];
};
extern TransferNote LastTransfer;

// Called by a session as it ends, whole or not: `name` the Z88's name of a received file
// (what came of it) or the path of a sent one. A failure adds "NAME - not received: REASON."
// or "PATH - not sent: REASON." to the log (AddFailureEntry), opening it as a changed file
// does: no message box, no beep.
void ReportOutcome(WindowHandle owner, TransferDirection direction, const char* name, int whole);

// Ends a transfer whose progress window stands: the beep when it went whole, ReportOutcome,
// and the progress window closed. Returns `whole`.
int EndTransfer(WindowHandle owner, TransferDirection direction, const char* name, int whole);

#endif
