// The receive session: one file from the Z88, stored in the store directory, with the copy
// it replaces kept beside it under "_" and its name, and a log line saying whether it changed.
#ifndef TARNWELL_RECEIVE_H
#define TARNWELL_RECEIVE_H

#include "ui/window_handle.h"

// Receives the file whose ESC 'N' the poll has just read: the name up to ESC 'F', then the
// data up to ESC 'E', into StoreDirectory followed by the mapped name. A file already
// standing there is first moved to the previous-copy path ("_" before the mapped name), and
// afterwards the log (owned by owner) tells whether the new copy differs from it. The
// progress window (owned by owner) stands from the end of the name to the end of the data.
// Returns 1 and beeps when the file arrived whole and was stored whole; 0 otherwise:
// - a failure in the name (a failed read, no 'F', a name too long) leaves no trace at all;
// - a name that has no place in the store directory, a path over 127 characters, or an
//   earlier copy that cannot be moved aside fails before anything on disk changes;
// - a failure in the data (failed read, Esc held, an unknown command letter, a digit below
//   '0', a write that the disk refuses) keeps what was stored so far.
int ReceiveFile(WindowHandle owner);

// 1 when both paths name regular files that open for reading and hold the same bytes in the
// same order; 0 otherwise (also when either is missing or is not a file).
int FilesIdentical(const char* first, const char* second);

#endif
