// The serial devices of this Linux machine as they are at the moment of asking: what the
// configuration dialog offers beside its port field. Implemented in port_list_posix.cpp.
#ifndef TARNWELL_PORT_LIST_POSIX_H
#define TARNWELL_PORT_LIST_POSIX_H

#include "base/text.h"

// More than a machine has; the rest of a longer list is left out.
enum { PortListMax = 32 };

// Fills `names` with the paths of the devices found, at most `max`, and returns how many:
// first the stable names under /dev/serial/by-id/ (by name), then /dev/ttyUSB* and
// /dev/ttyACM* (each by number), then the /dev/ttyS* that the kernel knows as real ports.
// A path that does not fit a setting is left out rather than cut to another name.
int ListSerialPorts(char names[][TextSize], int max);

// The same search with other folders in place of /dev and of the kernel's /sys/class/tty.
int FindSerialPorts(const char* devices, const char* ttyClasses, char names[][TextSize], int max);

#endif
