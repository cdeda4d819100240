// What became of each transfer, said once at its end by the session that ran it: kept in
// words for the main window (LastTransfer), and for a failed one a line with its reason
// (FailureReason, link/failure.h) in the transfer log.
#ifndef TARNWELL_OUTCOME_H
#define TARNWELL_OUTCOME_H

#include "settings/settings.h"
#include "ui/window_handle.h"

// The last transfer in words: "Received LETTER.TXT, 10:42", "Sent report.txt, 10:45",
// "Not received: LETTER.TXT, 10:47", "Not sent: report.txt, 10:48"; empty before the first.
extern char LastTransfer[TextSize];

// Called by a session as it ends, whole or not: `receiving` for a reception, `name` the
// Z88's name of a received file (what came of it) or the path of a sent one. A failure adds
// "NAME - not received: REASON." or "PATH - not sent: REASON." to the log (AddFailureEntry),
// opening it as a changed file does: no message box, no beep.
void ReportOutcome(WindowHandle owner, int receiving, const char* name, int whole);

#endif
