// The poll tick: the front end's one-second timer calls it to look at the link for the start
// of a file from the Z88, and to receive that file when one starts.
#ifndef TARNWELL_POLL_H
#define TARNWELL_POLL_H

#include "ui/window_handle.h"

// One tick. With no port (it did not open, or went away) it tries the port again
// (RetryLink: at most every two seconds, silently) and, while there is none, ends there.
// Reads the bytes waiting on the link, without waiting for more, up to the first ESC 'N'
// (after any run of ESC), which starts ReceiveFile(owner) and ends the tick; every other
// byte is dropped, ESC with any other letter included. The byte after an ESC is waited for
// up to a second, as in a transfer. At most one file is received per tick; a tick with
// nothing waiting is one read that returns at once. The link is left in TransferMode after
// a reception. Returns PollIdle when no reception started, else ReceiveFile's result (1
// when the file arrived whole, 0 when the reception failed).
enum { PollIdle = -1 };
int PollLink(WindowHandle owner);

#endif
