// The link and the send session as they were before the link read ahead and wrote in runs,
// kept for the benchmarks alone, so that each prints the figures of both from one run: a
// system call (Linux) or ReadFile / WriteFile (Windows) for every byte, the Esc query after
// each, and a send session that hands its frame over one byte per call. They work on the
// link's own open port (LinkHandle), in TransferMode, and need no read-ahead to be empty:
// the benchmarks use them only between whole rounds of the link's own.
// Shared part in byte_link.cpp; the port, one file per platform (byte_port_posix.cpp,
// byte_port_win32.cpp).
#ifndef TARNWELL_BYTE_LINK_H
#define TARNWELL_BYTE_LINK_H

#include "ui/window_handle.h"

int ByteLinkReadByte(int* value);
int ByteLinkWriteByte(int value);
int ByteSendFile(WindowHandle owner, const char* path);

// The port's half: one byte in (waiting up to 1000 ms for it) or out (up to 2000 ms), as
// PortMoved, PortIdle or PortGone.
int ByteReadPortByte(int* value);
int ByteWritePortByte(unsigned char byte);

#endif
