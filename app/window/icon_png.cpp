// icon-png: a build tool of the Linux tree that writes the program's icon as a PNG file for
// the desktop's icon theme, at 32 pixels as the program shows it and at 48, 64 and 128
// drawn from the same 16-colour picture with hard edges (no blur, no new colours).
//   icon-png SIDE FILE.png
#include "app/window/icon.h"

#include <zlib.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

// A square picture of RGBA pixels, one uint32_t each (the four bytes in order), rows from
// the top: pixels are compared whole.
struct Square {
    int side = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const  // the nearest pixel inside for a place outside
    {
        x = x < 0 ? 0 : x >= side ? side - 1 : x;
        y = y < 0 ? 0 : y >= side ? side - 1 : y;
        return pixels[(size_t)y * side + x];
    }
};

static Square Blank(int side)
{
    Square square;
    square.side = side;
    square.pixels.assign((size_t)side * side, 0);
    return square;
}

// Each pixel as a block of `factor` by `factor`.
static Square Enlarge(const Square& from, int factor)
{
    Square to = Blank(from.side * factor);
    for (int y = 0; y < to.side; y++)
        for (int x = 0; x < to.side; x++)
            to.pixels[(size_t)y * to.side + x] = from.At(x / factor, y / factor);
    return to;
}

// Scale3x: each pixel as three by three, whose corners and sides take a neighbour's colour
// where two neighbours of one colour meet across it, so that diagonals stay diagonals.
static Square Scale3x(const Square& from)
{
    Square to = Blank(from.side * 3);
    for (int y = 0; y < from.side; y++)
        for (int x = 0; x < from.side; x++) {
            uint32_t a = from.At(x - 1, y - 1), b = from.At(x, y - 1), c = from.At(x + 1, y - 1);
            uint32_t d = from.At(x - 1, y), e = from.At(x, y), f = from.At(x + 1, y);
            uint32_t g = from.At(x - 1, y + 1), h = from.At(x, y + 1), i = from.At(x + 1, y + 1);
            uint32_t out[9] = {e, e, e, e, e, e, e, e, e};
            if (b != h && d != f) {
                out[0] = d == b ? d : e;
                out[1] = (d == b && e != c) || (b == f && e != a) ? b : e;
                out[2] = b == f ? f : e;
                out[3] = (d == b && e != g) || (d == h && e != a) ? d : e;
                out[5] = (b == f && e != i) || (h == f && e != c) ? f : e;
                out[6] = d == h ? d : e;
                out[7] = (d == h && e != i) || (h == f && e != g) ? h : e;
                out[8] = h == f ? f : e;
            }
            for (int k = 0; k < 9; k++)
                to.pixels[(size_t)(3 * y + k / 3) * to.side + 3 * x + k % 3] = out[k];
        }
    return to;
}

// Half the size: each block of two by two gives its top left pixel. After Scale3x this keeps
// the rounded corners and diagonals it made; a vote among the four notched the small keys.
static Square Halve(const Square& from)
{
    Square to = Blank(from.side / 2);
    for (int y = 0; y < to.side; y++)
        for (int x = 0; x < to.side; x++)
            to.pixels[(size_t)y * to.side + x] = from.At(2 * x, 2 * y);
    return to;
}

// PNG: a chunk is its length, its type, its data and the CRC of type and data.
static void PutChunk(std::string* png, const char* type, const std::string& data)
{
    uint32_t length = (uint32_t)data.size();
    const unsigned char size[4] = {(unsigned char)(length >> 24), (unsigned char)(length >> 16),
                                   (unsigned char)(length >> 8), (unsigned char)length};
    png->append((const char*)size, 4);
    std::string body = std::string(type, 4) + data;
    png->append(body);
    uLong crc = crc32(0L, (const Bytef*)body.data(), (uInt)body.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        png->push_back((char)(crc >> shift));
}

// The picture as an 8-bit RGBA PNG file; empty when it could not be compressed.
static std::string EncodePng(const Square& square)
{
    std::string rows;
    for (int y = 0; y < square.side; y++) {
        rows.push_back(0);  // filter: none
        rows.append((const char*)&square.pixels[(size_t)y * square.side], (size_t)square.side * 4);
    }
    uLongf packedSize = compressBound((uLong)rows.size());
    std::vector<Bytef> packed(packedSize);
    if (compress2(packed.data(), &packedSize, (const Bytef*)rows.data(), (uLong)rows.size(),
                  Z_BEST_COMPRESSION) != Z_OK)
        return "";
    std::string header;
    for (int k = 0; k < 2; k++)  // width, height
        header += std::string("\0\0", 2) + (char)(square.side >> 8) + (char)square.side;
    header += std::string("\x08\x06\0\0\0", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", std::string((const char*)packed.data(), packedSize));
    PutChunk(&png, "IEND", "");
    return png;
}

int main(int argc, char** argv)
{
    int side = argc == 3 ? atoi(argv[1]) : 0;
    if (side != 48 && (side < IconSide || side % IconSide != 0 || side > 8 * IconSide)) {
        fprintf(stderr, "usage: icon-png SIDE FILE.png (SIDE: 48, or 32 times 1 to 8)\n");
        return 2;
    }
    Square icon = Blank(IconSide);
    if (!DecodeIcon(IconFile, IconFileSize, (unsigned char*)icon.pixels.data())) {
        fprintf(stderr, "icon-png: the program's icon cannot be decoded\n");
        return 1;
    }
    // 48 is one and a half times 32: three times with Scale3x, then halved.
    Square scaled = side == 48 ? Halve(Scale3x(icon)) : Enlarge(icon, side / IconSide);
    std::string png = EncodePng(scaled);
    FILE* file = fopen(argv[2], "wb");
    int written = file && !png.empty() && fwrite(png.data(), 1, png.size(), file) == png.size();
    if (file && fclose(file) != 0)
        written = 0;
    if (!written) {
        fprintf(stderr, "icon-png: cannot write %s\n", argv[2]);
        remove(argv[2]);
        return 1;
    }
    return 0;
}
