// What the link tests need to see of the port on each platform: the line settings as the
// port itself reports them, another program holding the port, and the handles in use.
#ifndef TARNWELL_TEST_LINK_PROBE_H
#define TARNWELL_TEST_LINK_PROBE_H

#include <stddef.h>

#include <vector>

// The line settings of the link's open port (LinkHandle), read back from the port.
struct LineState {
    long rate;         // baud, both directions
    int dataBits;
    int twoStopBits;   // non-zero for two stop bits
    int parityCheck;   // non-zero when received parity is checked
    int xonOut;        // output stops on XOFF from the Z88
    int xonIn;         // the PC sends XOFF and XON as its input fills and drains
};
bool ReadLineState(LineState* state);

// A name that names no device on this platform.
const char* MissingPortName();

// Opens `name` as another program would hold it, so that the link cannot have it. False
// when this platform cannot be made to refuse (Wine lets a COM port be opened twice).
bool HoldPort(const char* name);
void ReleasePort();

// Handles (descriptors) the process has open: the link must not leak one per OpenLinkPort.
int OpenHandleCount();

// Plays a USB adapter's output queue, which a pty lacks (its queue always reads empty): the
// port's queue answers from `script`, the bytes still queued at each look, the last entry
// from then on; -1 is a port that has gone. An empty script gives the port back its own.
// False where the queue cannot be played (Windows). OutputQueueLooks: the looks so far.
bool PlayOutputQueue(const std::vector<int>& script);
size_t OutputQueueLooks();

#endif
