// The platform half of the serial link, below serial_link.cpp: the port itself. One
// implementation per platform: serial_link_win32.cpp and serial_link_posix.cpp.
#ifndef TARNWELL_SERIAL_PORT_H
#define TARNWELL_SERIAL_PORT_H

#include "link/serial_link.h"

// Opens the named device for this program alone; the port, or LinkOpenFailed.
LinkPort OpenPort(const char* name);

// Why the last OpenPort failed, in plain words, for the lines under the connect-failure
// message: the port's name and the reason, and what the user can do about it (for a port
// that is not there, the ports there are).
const char* PortFailureText(void);

// Sets the open port (LinkHandle) to `rate` baud, 8 data bits, one stop bit, no input parity
// checking, XON/XOFF both ways when `xon` is non-zero; everything else stays as the port had
// it. A rate the port cannot take leaves the whole record unapplied.
void ConfigureLine(int rate, int xon);

// The `index`-th of the rates ConfigureLine can set, in ascending order; 0 past the last.
int LinkRateAt(int index);

// Closes LinkHandle, which is open.
void ClosePort(void);

// Non-zero when LinkHandle is an open port.
int PortIsOpen(void);

// What a read or a write of the port did: PortMoved (bytes moved; how many is given apart),
// PortIdle (nothing moved, the port is still there), or PortGone: the device behind the port
// has gone away (a USB adapter unplugged, the line hung up), and nothing done on this handle
// can work again.
enum { PortGone = -1, PortIdle = 0, PortMoved = 1 };

// Reads what has arrived, up to `size` bytes, into `bytes`, and puts how many into `*count`;
// PortMoved when at least one came. PollMode never waits; in TransferMode, with nothing there
// yet, the read waits up to 1000 ms for a byte.
int ReadPortBytes(unsigned char* bytes, int size, int* count);

// Writes up to `count` bytes (one run) and puts how many left into `*written`; PortMoved when
// at least one did, PortIdle when none could leave within 2000 ms (the Z88 holding XOFF, say).
// A run that moved part is the caller's to go on with.
int WritePortBytes(const unsigned char* bytes, int count, int* written);

// How many bytes written are still in the port's output queue, on their way to the line;
// 0 also when the port cannot tell. PortGone when the port has gone away.
int PortOutputQueued(void);

// Non-zero when bytes that arrived wait in the port, not read yet.
int PortInputWaiting(void);

// The line errors a port counts: bytes with a bad stop bit (frame), bytes lost because they
// came faster than they were taken (overrun: the chip's or the driver's buffer), bytes with
// a bad parity bit (parity), and breaks (brk). The framing has no checksum: these counts are
// the only witness of a byte the line damaged or lost.
struct LineErrorCounts {
    unsigned long frame, overrun, parity, brk;
};

// The open port's counts so far (only their changes mean anything); all 0 for a port that
// keeps none (a pty, some adapters).
void CountLineErrors(LineErrorCounts* counts);

// The kind of line error whose count differs between `before` and `after`, in words
// ("framing error", "overrun", "parity error", "break"); null when none does.
const char* LineErrorKind(const LineErrorCounts* before, const LineErrorCounts* after);

#endif
