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

// Sends the file at `path` (its full path, zero-terminated, any length) under the name that
// MapOutgoingName makes of it, with a progress window owned by `owner`. Non-zero when the
// whole frame, end mark included, was written and has left the port (LinkDrainOutput);
// then the PC beeps.
//
// Refused before any window opens and before any byte is written (0, only the failure line
// of protocol/outcome.h saying why, and `*refused` set when given): a path of more than
// LongestSendPath characters, a name that would hold a control byte (below 0x20, or 0x7F:
// ESC would end the name on the line, XON and XOFF would stop or start it), a name that
// would be empty ("report@v2"), and anything that is not a regular file that opens for
// reading.
// Once the frame has started, the first failed write (no port, a port error, a run that
// moved nothing for 2000 ms, Esc held after a run) or a failed read of the file ends it
// where it stands: no end mark, no beep, 0. So does an output queue that stops emptying, or
// Esc held while it empties. StepProgress counts the file bytes whose data items have begun
// on the line, and the one a failed write stopped in.
// NameBuffer holds the mapped name afterwards.
int SendFile(WindowHandle owner, const char* path, int* refused = nullptr);

// Opens the file at `path` for reading as SendFile does: NULL for anything that is not a
// regular file that opens, with the reason noted (NoteFailure, base/failure.h).
FILE* OpenFileToSend(const char* path);

#endif
