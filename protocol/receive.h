// The receive session: one file from the Z88, stored in the store directory, with the copy
// it replaces kept beside it under "_" and its name, and a log line saying whether it changed.
#ifndef TARNWELL_RECEIVE_H
#define TARNWELL_RECEIVE_H

#include "ui/window_handle.h"

// Receives the file whose ESC 'N' the poll has just read (its name up to ESC 'F', its data
// up to ESC 'E') into StoreDirectory under the mapped name, by way of a '~' file: only a file
// that came whole and is on the disk takes the name, and the copy it replaces is kept under
// '_' and the name, with a log line (owned by owner) saying whether the new copy differs; a
// copy byte for byte the same as the stored one changes neither copy. The progress window
// stands from the end of the name to the end of the data. 1, with the beep, when the file is
// in place (what failed after that, such as the folder's flush, said in a failure line);
// else 0, with no beep, the stored copies as they were, a failure line saying why
// (outcome.h), and in the '~' file what data came before the failure.
int ReceiveFile(WindowHandle owner);

// 1 when both paths name regular files that open for reading and hold the same bytes in the
// same order; 0 otherwise (also when either is missing or is not a file).
int FilesIdentical(const char* first, const char* second);

#endif
