// The order of the transfer log's lines (see log_order.h).
#include "ui/log_order.h"

// ASCII only, independent of the locale: file names from the Z88 are plain ASCII, and
// any other byte keeps its place by value.
static int FoldCase(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}

int CompareLogLines(const char* first, const char* second)
{
    const unsigned char* a = (const unsigned char*)first;
    const unsigned char* b = (const unsigned char*)second;
    while (*a && FoldCase(*a) == FoldCase(*b)) {
        a++;
        b++;
    }
    return FoldCase(*a) - FoldCase(*b);
}
