// The serial ports of this machine as they are at the moment of asking: what the
// configuration dialog offers for its port field, and what the connect-failure message lists.
// One implementation per platform: port_list_posix.cpp and port_list_win32.cpp.
#ifndef TARNWELL_PORT_LIST_H
#define TARNWELL_PORT_LIST_H

#include "base/text.h"

// More than a machine has; the rest of a longer list is left out.
enum { PortListMax = 32 };

struct SerialPortEntry {
    char name[TextSize];         // what the setting "Port" takes: "COM5", "/dev/ttyUSB0"
    char description[TextSize];  // the system's word for the device ("USB Serial Port"), or empty
};

// Fills `ports` with the ports found, at most `max`, and returns how many. Linux: the
// devices by name (port_list_posix.h), without descriptions. Windows: the COM ports the
// system lists (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM) in the order of their numbers, each with
// its device's friendly name where the system has one. A name that does not fit a setting is
// left out rather than cut to another name.
int ListSerialPorts(SerialPortEntry* ports, int max);

// The port as a list shows it: "COM5 - USB Serial Port", or the name alone, into `text` of
// `size` bytes (cut to fit: it is only shown).
void DescribeSerialPort(const SerialPortEntry* port, char* text, int size);

// Appends the ports there are now to `text` (`size` bytes, holding a zero-terminated text),
// for the lines under the connect-failure message: "Serial ports found now:" and each port
// described on a line of its own, or that none is found. Whole lines only: a name cut short
// would be a wrong one.
void AddPortsFound(char* text, size_t size);

#endif
