// Text helpers every layer shares, with no library behind them. Case folding is ASCII only,
// independent of the locale: the Z88's names and the settings' keys are plain ASCII, and
// any other byte stays as it is.
#ifndef TARNWELL_TEXT_H
#define TARNWELL_TEXT_H

#include <stddef.h>
#include <string.h>

// The size of every text buffer of the program: settings values, names, paths, titles and
// log lines each hold at most 127 characters and the terminating zero.
enum { TextSize = 128 };

inline int AsciiLower(int byte)
{
    return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}

// Non-zero when the two texts differ at most in the case of ASCII letters.
inline int SameIgnoringCase(const char* first, const char* second)
{
    for (; *first && AsciiLower((unsigned char)*first) == AsciiLower((unsigned char)*second); first++, second++) {
    }
    return !*first && !*second;
}

// Length of `text`, or -1 when it is longer than `limit` characters; never reads further.
inline int BoundedLength(const char* text, int limit)
{
    int length = 0;
    while (text[length] != 0) {
        if (length == limit)
            return -1;
        length++;
    }
    return length;
}

// Copies `length` bytes of `text` into `buffer` (`size` bytes), as many as fit before the
// zero that ends them.
inline void CopyCut(char* buffer, int size, const char* text, size_t length)
{
    if (size <= 0)
        return;
    if (length > (size_t)size - 1)
        length = (size_t)size - 1;
    memcpy(buffer, text, length);
    buffer[length] = 0;
}

#endif
