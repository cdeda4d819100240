// The poll tick: the front end's one-second timer calls it to look at the link for the start
// of a file from the Z88, and to receive that file when one starts.
#ifndef TARNWELL_POLL_H
#define TARNWELL_POLL_H

#include "ui/window_handle.h"

// One tick. Reads, without waiting, the bytes already on the link up to and including the
// first that is not ESC. ESC 'N' (after any run of ESC) starts ReceiveFile(owner); every
// other byte is dropped. So at most one file is received per tick, a stray byte outside a
// frame costs one tick, and the link is left in TransferMode after a reception.
void PollLink(WindowHandle owner);

#endif
