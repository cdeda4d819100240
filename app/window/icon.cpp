// Decoding of the program's 16-colour icon (see icon.h): an .ico file holding a
// BITMAPINFOHEADER, a palette of 16 colours, the picture at 4 bits a pixel and a 1-bit mask,
// both stored from the bottom row up.
#include "app/window/icon.h"

#include <string.h>

// Little-endian fields of the file.
static unsigned Read16(const unsigned char* at)
{
    return at[0] | at[1] << 8;
}

static unsigned long Read32(const unsigned char* at)
{
    return at[0] | at[1] << 8 | at[2] << 16 | (unsigned long)at[3] << 24;
}

enum {
    DirectorySize = 6,       // reserved 0, type 1 (icon), count
    EntrySize = 16,          // width, height, colours, reserved, planes, bits, size, offset
    InfoHeaderSize = 40,     // BITMAPINFOHEADER
    PaletteSize = 16 * 4,    // blue, green, red, unused
    PictureRowSize = IconSide / 2,
    MaskRowSize = IconSide / 8,  // rows of a 1-bit mask are padded to 4 bytes: 32 bits is 4
    ImageSize = InfoHeaderSize + PaletteSize + IconSide * PictureRowSize + IconSide * MaskRowSize,
};

int DecodeIcon(const unsigned char* bytes, size_t size, unsigned char* rgba)
{
    if (size < DirectorySize + EntrySize || Read16(bytes) != 0 || Read16(bytes + 2) != 1 ||
        Read16(bytes + 4) < 1)
        return 0;
    const unsigned char* entry = bytes + DirectorySize;
    unsigned long imageSize = Read32(entry + 8);
    unsigned long offset = Read32(entry + 12);
    // Width and height 32; 16 colours (0 would mean 256 or more).
    if (entry[0] != IconSide || entry[1] != IconSide || entry[2] != 16 ||
        imageSize < ImageSize || offset > size || size - offset < ImageSize)
        return 0;

    const unsigned char* info = bytes + offset;
    // The header's height counts the picture and the mask together.
    if (Read32(info) != InfoHeaderSize || Read32(info + 4) != IconSide ||
        Read32(info + 8) != 2 * IconSide || Read16(info + 12) != 1 || Read16(info + 14) != 4 ||
        Read32(info + 16) != 0)
        return 0;
    const unsigned char* palette = info + InfoHeaderSize;
    const unsigned char* picture = palette + PaletteSize;
    const unsigned char* mask = picture + IconSide * PictureRowSize;

    for (int y = 0; y < IconSide; y++) {
        int stored = IconSide - 1 - y;  // bottom row first
        for (int x = 0; x < IconSide; x++) {
            unsigned char* pixel = rgba + (y * IconSide + x) * 4;
            int hidden = (mask[stored * MaskRowSize + x / 8] >> (7 - x % 8)) & 1;
            if (hidden) {
                memset(pixel, 0, 4);
                continue;
            }
            unsigned char pair = picture[stored * PictureRowSize + x / 2];
            const unsigned char* colour = palette + 4 * (x % 2 ? pair & 15 : pair >> 4);
            pixel[0] = colour[2];
            pixel[1] = colour[1];
            pixel[2] = colour[0];
            pixel[3] = 255;
        }
    }
    return 1;
}
