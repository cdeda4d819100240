// The platform half of the serial link, below serial_link.cpp: the port itself. One
// implementation per platform: serial_link_win32.cpp and serial_link_posix.cpp.
#ifndef TARNWELL_SERIAL_PORT_H
#define TARNWELL_SERIAL_PORT_H

#include "link/serial_link.h"

// Opens the named device for this program alone; the port, or LinkOpenFailed.
LinkPort OpenPort(const char* name);

// Why the last OpenPort failed, in plain words, for the lines under the connect-failure
// message: the port's name and the reason, and what the user can do about it. Empty where
// the platform has nothing to add (Windows, whose message stays one line).
const char* PortFailureText(void);

// Sets the open port (LinkHandle) to `rate` baud, 8 data bits, one stop bit, no input parity
// checking, XON/XOFF both ways when `xon` is non-zero; everything else stays as the port had
// it. A rate the port cannot take leaves the whole record unapplied.
void ConfigureLine(int rate, int xon);

// Closes LinkHandle, which is open.
void ClosePort(void);

// Non-zero when LinkHandle is an open port.
int PortIsOpen(void);

// What a read or a write of the port did: PortMoved (the byte), PortIdle (nothing moved, the
// port is still there), or PortGone: the device behind the port has gone away (a USB adapter
// unplugged, the line hung up), and nothing done on this handle can work again.
enum { PortGone = -1, PortIdle = 0, PortMoved = 1 };

// One byte in, within the time the timeout mode gives.
int ReadPortByte(int* value);

// One byte out, given up to 2000 ms; PortMoved only when the byte really left.
int WritePortByte(unsigned char byte);

// How many bytes written are still in the port's output queue, on their way to the line;
// 0 also when the port cannot tell. PortGone when the port has gone away.
int PortOutputQueued(void);

#endif
