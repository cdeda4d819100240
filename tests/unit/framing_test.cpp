// The framing rules against the format's own tables: which bytes go plain, how a byte is
// escaped, how digits are read back, and how long a frame is on the line.
#include "protocol/framing.h"
#include "tests/support/z88.h"

#include <gtest/gtest.h>

#include <ctype.h>

#include <string>
#include <vector>

// Exactly tab, line feed, carriage return and 0x20..0x7F: 99 values. ESC, XON and XOFF
// are among the escaped, so none of them stands plain in the data.
TEST(Framing, PlainSetHoldsExactlyTheNinetyNineValues)
{
    int plain = 0;
    for (int byte = 0; byte < 256; byte++) {
        bool expected = byte == 0x09 || byte == 0x0A || byte == 0x0D || (byte >= 0x20 && byte <= 0x7F);
        EXPECT_EQ(IsPlainByte(byte) != 0, expected) << "byte " << byte;
        plain += IsPlainByte(byte) != 0;
    }
    EXPECT_EQ(plain, 99);
    for (int byte : {0x1B, 0x11, 0x13, 0x0C, 0x1A, 0x80, 0x00, 0xFF})
        EXPECT_FALSE(IsPlainByte(byte)) << "byte " << byte;
    for (int outside : {-1, 256, 0x141})
        EXPECT_FALSE(IsPlainByte(outside)) << outside;
}

TEST(Framing, EveryRowOfTheExampleTable)
{
    for (const FormatExample& row : FormatExamples) {
        unsigned char item[DataItemMax];
        int length = EncodeDataByte(row.byte, item);
        EXPECT_EQ(Bytes(item, item + length), row.line) << "byte " << row.byte;
        // And back: an escaped item's digits give the byte again.
        if (length == 4) {
            EXPECT_EQ(EscapedByte(item[2], item[3]), row.byte) << "byte " << row.byte;
        }
    }
}

// Every byte survives its own encoding: plain ones as themselves, the rest as ESC 'B' and two
// uppercase digits that read back as the byte (between them, all sixteen digits appear).
TEST(Framing, EveryByteRoundTrips)
{
    for (int byte = 0; byte < 256; byte++) {
        unsigned char item[DataItemMax];
        int length = EncodeDataByte(byte, item);
        if (length == 1) {
            EXPECT_EQ(item[0], byte);
        } else {
            ASSERT_EQ(length, 4);
            EXPECT_EQ(item[0], 0x1B);
            EXPECT_EQ(item[1], 'B');
            EXPECT_TRUE(isxdigit(item[2]) && !islower(item[2]) && isxdigit(item[3]) && !islower(item[3]));
            EXPECT_EQ(EscapedByte(item[2], item[3]), byte);
        }
    }
}

// Only "0".."9" and "A".."F" are digits, as a Z88 writes them; any other byte, small letters
// included, names no byte, also when it lies next to a digit in the code table.
TEST(Framing, OnlyUppercaseHexDigitsAreDigits)
{
    const struct {
        char d1, d2;
        int byte;
    } cases[] = {
        {'4', '1', 0x41}, {'0', '0', 0x00}, {'9', 'A', 0x9A}, {'F', 'F', 0xFF},
        {'f', 'f', -1},   {'1', 'b', -1},   {'a', '0', -1},
        {'G', '0', -1},   {'0', '@', -1},   {':', '0', -1},   {'1', '/', -1}, {' ', ' ', -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapedByte(c.d1, c.d2), c.byte) << c.d1 << c.d2;
    int digits = 0;
    for (int byte = 0; byte < 256; byte++)
        digits += DigitValue(byte) >= 0;
    EXPECT_EQ(digits, 16);
}

// A frame built from the encoding: 2 + m + 2 + n + 3k + 2 bytes for a name of m bytes and a
// file of n bytes, k of them escaped; k counted here from the format's own list.
static Bytes Frame(const std::string& name, const Bytes& data)
{
    Bytes line = Bytes{FrameEsc, FrameStart} + Text(name) + Bytes{FrameEsc, FrameNameEnd};
    for (unsigned char byte : data) {
        unsigned char item[DataItemMax];
        int length = EncodeDataByte(byte, item);
        line.insert(line.end(), item, item + length);
    }
    return line + Bytes{FrameEsc, FrameEnd};
}

TEST(Framing, FrameLength)
{
    const struct {
        std::string name;
        Bytes data;
        size_t escaped;
    } cases[] = {
        {"", {}, 0},
        {"A", {'h', 'i', '\r', '\n'}, 0},
        {":RAM.0/LETTER.TXT", {0x00, 'x', 0x1B, 0x11, 0x13, 0x7F, 0x80}, 5},
        {"ALL", EveryByte(), 157},
    };
    for (const auto& c : cases) {
        size_t m = c.name.size(), n = c.data.size(), k = c.escaped;
        EXPECT_EQ(Frame(c.name, c.data).size(), 2 + m + 2 + n + 3 * k + 2) << c.name;
    }
    EXPECT_EQ(Frame("", {}), (Bytes{0x1B, 0x4E, 0x1B, 0x46, 0x1B, 0x45}));
    EXPECT_EQ(Frame("X", {0x1B}), (Bytes{0x1B, 0x4E, 'X', 0x1B, 0x46, 0x1B, 0x42, 0x31, 0x42, 0x1B, 0x45}));
}
