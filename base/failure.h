// Why the transfer in progress failed, in words, for the line that reports it: noted at the
// point of failure by whichever layer saw it first (the link, the file calls, the sessions),
// and read by the session once its running result is 0. The first failure is the cause;
// what fails after it only follows from it, so a later note never replaces an earlier one.
#ifndef TARNWELL_FAILURE_H
#define TARNWELL_FAILURE_H

#include "base/files.h"  // SystemErrorText, for the reasons of file calls
#include "base/text.h"

// The reason noted since the last ClearFailure; empty when none was.
extern char FailureReason[TextSize];

// Forgets the reason of an earlier transfer: each session calls it as it begins.
void ClearFailure(void);

// Notes the reason, printf-style (cut to 127 characters), unless one is noted already.
// Returns 0, the failed result, so that a failure point can return it.
int NoteFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
