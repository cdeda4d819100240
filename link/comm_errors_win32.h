// The Windows link's rule for the line errors that ClearCommError reports, kept apart from
// the port so that tests can hold it to account without one: Wine reports no line errors.
// Implemented in serial_link_win32.cpp.
#ifndef TARNWELL_COMM_ERRORS_WIN32_H
#define TARNWELL_COMM_ERRORS_WIN32_H

#include "link/serial_port.h"

// Adds one to each count whose flag ClearCommError set in `flags`: CE_FRAME to frame,
// CE_OVERRUN (the chip's buffer) and CE_RXOVER (the driver's) to overrun, CE_RXPARITY to
// parity, CE_BREAK to brk.
void AddCommErrors(unsigned long flags, LineErrorCounts* counts);

#endif
