// The termios rules of the Linux serial link, kept apart from the port itself so that tests
// can hold them to account without one. Implemented in serial_link_posix.cpp.
#ifndef TARNWELL_LINE_SETTINGS_POSIX_H
#define TARNWELL_LINE_SETTINGS_POSIX_H

#include <termios.h>

// The speed constant for a rate in baud, or B0 when termios has none for it. B0 is never a
// rate: applying it hangs the line up.
speed_t LineSpeed(int rate);

// Raw mode: no canonical input, echo, signals, CR/LF or other input translation, parity
// marks, stripping of the eighth bit or output processing; the receiver on; a read of a
// non-blocking port gives at most what is there.
void MakeLineRaw(struct termios* line);

// The line record the link asks for: `speed` both ways, 8 data bits, one stop bit, no input
// parity checking, and XON/XOFF in both directions when `xon` is non-zero (resumed by XON
// only), none otherwise. Everything else stays as `line` has it: the parity scheme, the
// flow-control characters, hardware handshake and the modem lines.
void SetLineRecord(struct termios* line, speed_t speed, int xon);

// Non-zero when `got`, read back after tcsetattr, holds everything of `wanted` that
// MakeLineRaw and SetLineRecord decide; other differences do not count.
int LineRecordTaken(const struct termios* wanted, const struct termios* got);

#endif
