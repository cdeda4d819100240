// The far end of a real serial line, where a test plays the Z88. The program's port has the
// same name for every line a test run makes; while the line is hung up that name leads
// nowhere, as the device of an unplugged USB adapter. One implementation per platform.
#ifndef TARNWELL_TEST_PEER_LINE_H
#define TARNWELL_TEST_PEER_LINE_H

#include <stddef.h>

// The line's control bytes: flow control, and the start of every mark of a frame.
enum { Xon = 0x11, Xoff = 0x13, Esc = 0x1B };

// Makes a fresh line (closing one still open). `programPort` (`size` bytes) receives the
// name the program should open as its port, the same each time. False when no line could
// be made.
bool OpenPeerLine(char* programPort, size_t size);

// Hangs the line up: the program's end finds the other side gone, and its name leads
// nowhere until the next OpenPeerLine.
void ClosePeerLine();

// Sends the bytes as they are, in order. False on an error.
bool PeerSend(const void* bytes, size_t count);

// Waits up to `timeoutMs` for one byte from the program; the byte 0..255, or -1 if none came.
int PeerReceiveByte(int timeoutMs);

// Drops whatever the program has sent and the test has not read.
void PeerDiscardInput();

// The platform's part, below PeerReceiveByte: reads what arrives within `timeoutMs` (at least
// one byte, at most `size`; with 0, only what is there) and returns how many came, 0 when
// none did; drops what the line holds unread; forgets what was read and not handed out.
size_t PeerRead(unsigned char* buffer, size_t size, int timeoutMs);
void PeerFlushInput();
void PeerForgetPending();

#endif
