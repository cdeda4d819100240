// The order of the transfer log's lines (see log_order.h).
#include "ui/log_order.h"

#include "base/text.h"

// ASCII only (see text.h): any other byte keeps its place by value.
int CompareLogLines(const char* first, const char* second)
{
    const unsigned char* a = (const unsigned char*)first;
    const unsigned char* b = (const unsigned char*)second;
    while (*a && AsciiLower(*a) == AsciiLower(*b)) {
        a++;
        b++;
    }
    return AsciiLower(*a) - AsciiLower(*b);
}
