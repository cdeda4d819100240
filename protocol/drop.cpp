// The drop loop shared by both front ends: dropped files go out in order until one fails.
#include "protocol/drop.h"

#include "protocol/send.h"

int SendDroppedFiles(WindowHandle owner, const char* const* paths, int count)
{
    int sent = 0;
    while (sent < count && SendFile(owner, paths[sent]))
        sent++;
    return sent;
}
