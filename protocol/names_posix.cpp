// Linux part of the file name mapping: '/' is the one path separator, and the only byte a
// file name in the store directory cannot hold.
#include "protocol/names.h"

#include <string.h>

int PathSeparator(char c)
{
    return c == '/';
}

int PlatformStoreNameAllowed(const char* name)
{
    return strchr(name, '/') == 0;
}
