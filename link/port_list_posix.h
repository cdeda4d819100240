// The serial devices of a Linux machine, found by name (see port_list.h), and the search
// itself over folders of the caller's choosing, for the tests.
#ifndef TARNWELL_PORT_LIST_POSIX_H
#define TARNWELL_PORT_LIST_POSIX_H

#include "link/port_list.h"

// ListSerialPorts on Linux: first the stable names under /dev/serial/by-id/ (by name), then
// /dev/ttyUSB* and /dev/ttyACM* (each by number), then the /dev/ttyS* that the kernel knows
// as real ports. This is that search with other folders in place of /dev and of the kernel's
// /sys/class/tty.
int FindSerialPorts(const char* devices, const char* ttyClasses, SerialPortEntry* ports, int max);

#endif
