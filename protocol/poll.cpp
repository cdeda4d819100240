// The poll tick, shared by both front ends' timers: start recognition on the link.
#include "protocol/poll.h"

#include "link/serial_link.h"
#include "protocol/framing.h"
#include "protocol/receive.h"

void PollLink(WindowHandle owner)
{
    SetLinkTimeouts(PollMode);
    int byte;
    int ok = LinkReadByte(&byte);
    while (ok && byte == FrameEsc) {
        ok = LinkReadByte(&byte);
        // The byte alone decides, not the read's result: an 'N' read while Esc is held still
        // starts the session, whose first read then meets the key and ends it quietly. On
        // return the byte still holds 'N', which ends the loop: one file per tick.
        if (byte == FrameStart)
            ReceiveFile(owner);
    }
}
