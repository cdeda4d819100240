// Icon 101, the program's picture (resources/tarnwell.ico: one 32 by 32 image in 16 colours):
// its bytes, written in by CMake, and their decoding for the Linux window icon.
#ifndef TARNWELL_ICON_H
#define TARNWELL_ICON_H

#include <stddef.h>

enum { IconSide = 32 };

// The bytes of resources/tarnwell.ico.
extern const unsigned char IconFile[];
extern const size_t IconFileSize;

// Decodes the first image of the .ico file in `bytes` into `rgba` (IconSide * IconSide * 4
// bytes: red, green, blue, alpha; rows from the top): its colours where the mask shows it,
// fully transparent black where the mask hides it. Only the icon's own form is taken: a
// 32 by 32 image with 4 bits a pixel and a 16-colour palette, not compressed. Non-zero on
// success; 0 for anything else, with nothing read past `size` bytes.
int DecodeIcon(const unsigned char* bytes, size_t size, unsigned char* rgba);

#endif
