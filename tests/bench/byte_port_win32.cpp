// Windows side of the one-byte link of byte_link.h: ReadFile and WriteFile of one byte. The
// port's timeouts are the link's own; for one byte they wait as the old ones did (1000 ms
// for a read in TransferMode, 2000 ms for a write).
#include "link/serial_link.h"
#include "link/serial_port.h"
#include "tests/bench/byte_link.h"

#include <windows.h>

int ByteReadPortByte(int* value)
{
    unsigned char byte = 0;
    DWORD count = 0;
    if (!ReadFile(LinkHandle, &byte, 1, &count, NULL) || count != 1)
        return PortIdle;
    *value = byte;
    return PortMoved;
}

int ByteWritePortByte(unsigned char byte)
{
    DWORD count = 0;
    return WriteFile(LinkHandle, &byte, 1, &count, NULL) && count == 1 ? PortMoved : PortIdle;
}
