// The far end's input, the same on both platforms (see peer_line.h): bytes read from the line
// in one go and handed out one at a time.
#include "tests/support/peer_line.h"

static unsigned char Pending[4096];
static size_t PendingStart = 0;
static size_t PendingEnd = 0;

void PeerForgetPending()
{
    PendingStart = PendingEnd = 0;
}

int PeerReceiveByte(int timeoutMs)
{
    if (PendingStart == PendingEnd) {
        PendingStart = 0;
        PendingEnd = PeerRead(Pending, sizeof Pending, timeoutMs);
        if (PendingEnd == 0)
            return -1;
    }
    return Pending[PendingStart++];
}

void PeerDiscardInput()
{
    PeerForgetPending();
    PeerFlushInput();
    // Bytes the program wrote a moment ago may still be on their way: through the pty, whose
    // kernel worker a busy machine runs late, or across socat under Wine.
    unsigned char scrap[256];
    while (PeerRead(scrap, sizeof scrap, 300) > 0) {
    }
}
