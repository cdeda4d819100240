// The poll tick, shared by both front ends' timers: start recognition on the link.
#include "protocol/poll.h"

#include "link/serial_link.h"
#include "protocol/framing.h"
#include "protocol/receive.h"
#include "protocol/store.h"

int PollLink(WindowHandle owner)
{
    // A port that went away, or never opened, is tried again from here, silently.
    if (!RetryLink())
        return PollIdle;
    SetLinkTimeouts(PollMode);
    int byte;
    // Every stray byte waiting is dropped in this one tick: the rest of a failed frame, or
    // noise ahead of a new one, would otherwise hold the next frame back a second per byte.
    while (LinkReadByte(&byte)) {
        if (byte != FrameEsc)
            continue;
        // The letter after an ESC may still be on its way: wait for it as a transfer read
        // does, or a frame whose ESC alone had come by the tick would be missed.
        SetLinkTimeouts(TransferMode);
        while (LinkReadByte(&byte) && byte == FrameEsc) {
        }
        // The byte alone decides, not the read's result: an 'N' read while Esc is held still
        // starts the session, whose first read then meets the key and ends it quietly. One
        // file per tick: what comes after it waits for the next.
        if (byte == FrameStart)
            return ReceiveFile(owner);
        // ESC and any other letter start nothing; what follows is stray as well.
        SetLinkTimeouts(PollMode);
    }
    return PollIdle;
}
