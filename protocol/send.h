// The send session: one PC file goes to the Z88 as one frame, ESC 'N', the Z88 name,
// ESC 'F', the file's bytes as data items, ESC 'E', written on the link in runs of
// LinkRunLength() bytes while a progress window shows the path.
#ifndef TARNWELL_SEND_H
#define TARNWELL_SEND_H

#include "settings/settings.h"
#include "ui/window_handle.h"

#include <stdio.h>

// The longest path a send takes: paths travel in TextSize buffers, and a cut path may name
// another file, which would then reach the Z88 under the wrong name.
enum { LongestSendPath = TextSize - 1 };

// Sends the file at `path` (its full path, any length) under the name MapOutgoingName makes
// of it, with a progress window owned by `owner`. Non-zero, with the beep, when the whole
// frame has left the port (LinkDrainOutput). Else 0, with a failure line saying why
// (outcome.h): refused before any window opens or byte goes out, `*refused` set when given,
// for a path of more than LongestSendPath characters, a name for the Z88 that would be empty
// or hold a control byte, and anything but a regular file that opens for reading; once the
// frame has begun, the first failed write or read, Esc, or an output queue that stops
// emptying ends it where it stands, without its end mark. NameBuffer holds the mapped name
// afterwards.
int SendFile(WindowHandle owner, const char* path, int* refused = nullptr);

// Opens the file at `path` for reading as SendFile does: NULL for anything that is not a
// regular file that opens, with the reason noted (NoteFailure, base/failure.h).
FILE* OpenFileToSend(const char* path);

#endif
