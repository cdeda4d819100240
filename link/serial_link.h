// The serial link: the one port through which Tarnwell talks to the Z88, opened and
// configured from the settings, one-byte reads and short runs of writes that the Esc key can
// abort, and a port that went away taken up again. A failed call notes its reason
// (base/failure.h). The logic is shared (serial_link.cpp); the port itself is serial_port.h,
// one file per platform: serial_link_win32.cpp and serial_link_posix.cpp.
#ifndef TARNWELL_SERIAL_LINK_H
#define TARNWELL_SERIAL_LINK_H

#include "settings/settings.h"

#include <stdint.h>

// The handle of the port, in one of three states that every call tells apart:
//   never opened   0 (also after CloseLink)
//   open           the platform's handle of the port
//   no port        LinkOpenFailed: the open failed, or the port went away and was closed;
//                  every read, write and setting call fails at once, and RetryLinkPort tries
//                  the port again
#ifdef _WIN32
typedef void* LinkPort;                                // HANDLE
const LinkPort LinkOpenFailed = (LinkPort)(intptr_t)-1;  // INVALID_HANDLE_VALUE
#else
// A file descriptor, always above 2, so 0 never names it.
typedef int LinkPort;
const LinkPort LinkOpenFailed = -1;
#endif

extern LinkPort LinkHandle;

enum LinkTimeoutMode { PollMode, TransferMode };

// The link's part of OpenLink (protocol/store.h, which also loads StoreDirectory): closes
// the port if one is open, then opens the port named by "Port". When the open fails, shows
// the connect-failure message and reads no other setting; otherwise sets the line from
// "Rate" (8 data bits, one stop bit, no parity checking) and "Xon" (XON/XOFF in both
// directions). Sets no timeout mode.
void OpenLinkPort(void);

// Opens the port of the last OpenLinkPort again when there is none (its open failed, or the
// port went away), at most once every two seconds: a USB adapter plugged in again, or one
// that was missing at start, is taken up without anyone touching the program. Silent: a
// failed try shows nothing. The name is the one OpenLinkPort read ("Port" is not read again);
// once the port opens, "Rate" and "Xon" are read and applied as OpenLinkPort does.
// The link's part of RetryLink (protocol/store.h), which the poll tick calls before it
// reads. Non-zero when a port is open afterwards.
int RetryLinkPort(void);

// Non-zero while the link has a port open.
int LinkIsOpen(void);

// Switches the read timeouts; the mode stays until the next call. Non-zero when applied to
// an open port (callers need not look). Bytes the link has already taken in stay: the mode
// only decides how long a read waits when none is left.
int SetLinkTimeouts(LinkTimeoutMode mode);

// Reads one byte into `value` (0..255; `value` is 0 when none came). Non-zero only when a
// byte came and Esc was not held; with Esc held the byte is taken from the line all the same
// and stays in `value`. The port is asked for all that has arrived (up to 256 bytes) at once,
// and the bytes are handed out one per call; each is handed out once, in order. A read or
// write that finds the port gone away (unplugged, hung up) closes it at once, forgets what
// was taken in, and leaves the link with no port (LinkOpenFailed) until RetryLinkPort.
int LinkReadByte(int* value);

// The longest run LinkRunLength gives.
enum { LinkRunMax = 256 };

// The longest run a sender should hand to LinkWriteBytes: what the line carries in about
// 20 ms at the rate of the last open ("Rate" / 500 bytes), at least 1, at most LinkRunMax.
// Esc is asked after each run, so it still ends a send within a few tens of milliseconds.
int LinkRunLength(void);

// Writes the `count` bytes in TransferMode and puts how many left into `*written`. A write
// that moves part goes on with the rest; one that moves nothing within 2000 ms ends the run.
// Non-zero only when every byte left and Esc, asked once at the end, was not held.
int LinkWriteBytes(const unsigned char* bytes, int count, int* written);

// Writes the low 8 bits of `value` as a run of one byte.
int LinkWriteByte(int value);

// Waits until the port's output queue is empty: a write returns once the driver holds the
// byte, and a USB adapter's driver may hold seconds of them, which it drops when the port
// closes. As for a write, 2000 ms in which the queue does not shrink fail it, and so does
// Esc held while it waits. Non-zero when the queue is empty.
int LinkDrainOutput(void);

// Non-zero when the port has counted no line error (a framing error, an overrun, a parity
// error, a break) since the line was last quiet: since the port opened, or a read last found
// nothing waiting, or the last call found nothing left to read. So a reception that asks
// once its end mark is read covers all of its bytes, also those that had arrived before
// it began. 0 otherwise, with the reason noted ("the line garbled the data (framing
// error)"). A port that keeps no count (a pty) always passes.
int LinkReadClean(void);

// Closes the port, if one is open, forgets what was taken in, and puts LinkHandle back to 0.
// Harmless in every state.
void CloseLink(void);

// The port in words, into `text` (TextSize bytes): "COM1, 9600 baud" while it is open (the
// rate the last open read), "No port: COM3" while it is not, "No port" before any open.
void DescribeLink(char* text);

// The rate check of the configuration dialog and tarnwell-cli: non-zero when `rate` is a
// whole number of baud, in digits alone, that the port can be set to (one of the rates the
// platform's serial calls take; Linux: a termios speed). Else 0, with the refusal in words in
// `problem` (`size` bytes; LinkRateProblemSize hold it): "the rate 'fast' is not one the
// serial port can be set to." and, on the lines after it, the rates the port takes, the
// Z88's own first.
enum { LinkRateProblemSize = 768 };
int CheckLinkRate(const char* rate, char* problem, int size);

#endif
