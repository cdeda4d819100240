// The port list's shared part: a port as a list shows it (see port_list.h).
#include "link/port_list.h"

#include <stdio.h>
#include <string.h>

void DescribeSerialPort(const SerialPortEntry* port, char* text, int size)
{
    // The precision bounds each text by its buffer, which some compilers cannot see for
    // themselves (they warn that a name may be 8 KiB long).
    const int most = TextSize - 1;
    if (port->description[0])
        snprintf(text, (size_t)size, "%.*s - %.*s", most, port->name, most, port->description);
    else
        snprintf(text, (size_t)size, "%.*s", most, port->name);
}

// A user who typed a wrong name, or whose adapter got another number when it was plugged in
// again, sees at once which name to take.
void AddPortsFound(char* text, size_t size)
{
    SerialPortEntry ports[PortListMax];
    int count = ListSerialPorts(ports, PortListMax);
    size_t used = strlen(text);
    if (count == 0) {
        snprintf(text + used, size - used, "\nNo serial port is found on this machine now.");
        return;
    }
    snprintf(text + used, size - used, "\nSerial ports found now:");
    for (int i = 0; i < count; i++) {
        char line[2 * TextSize + 4];
        DescribeSerialPort(&ports[i], line, sizeof line);
        used = strlen(text);
        if (used + strlen(line) + 4 >= size)
            break;
        snprintf(text + used, size - used, "\n  %s", line);
    }
}
