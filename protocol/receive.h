// The receive session: one file from the Z88, stored in the store directory, with the copy
// it replaces kept beside it under "_" and its name, and a log line saying whether it changed.
#ifndef TARNWELL_RECEIVE_H
#define TARNWELL_RECEIVE_H

#include "ui/window_handle.h"

// Receives the file whose ESC 'N' the poll has just read: the name up to ESC 'F', then the
// data up to ESC 'E', into StoreDirectory followed by '~' and the mapped name (replacing a
// file left there by an earlier failed reception). Only when the file came whole and is on
// the disk does it take the store name: the previous copy ('_' before the mapped name) goes,
// the current copy becomes the previous one, and the log (owned by owner) tells whether the
// new copy differs from it. The progress window (owned by owner) stands from the end of the
// name to the end of the data. Returns 1 and beeps when the file is in place; 0 otherwise,
// with no beep, the store name and previous copy as they were, and a failure line in the log
// that says why (protocol/outcome.h):
// - a failure in the name (a failed read, no 'F', a name too long) leaves nothing on disk;
// - a name that has no place in the store directory, a path over 127 characters, or
//   something other than a file at the '~' path fails before anything on disk changes;
// - a failure in the data (failed read, Esc held, an unknown command letter, a digit other
//   than "0".."9" and "A".."F", a line error the port counted (LinkReadClean), a write or
//   flush that the disk refuses) keeps what came so far in the '~' file;
// - a current copy that cannot be moved aside, or a store name held by something else
//   (a folder, say), keeps the whole new file in the '~' file. Should the renames fail
//   half-way, the current copy and the new file both stay on the disk, each under one of
//   the three names.
int ReceiveFile(WindowHandle owner);

// 1 when both paths name regular files that open for reading and hold the same bytes in the
// same order; 0 otherwise (also when either is missing or is not a file).
int FilesIdentical(const char* first, const char* second);

#endif
