// The framing rules shared by the receive and the send session.
#include "protocol/framing.h"

int IsPlainByte(int byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || (byte >= 0x20 && byte <= 0x7F);
}

int NibbleDigit(int nibble)
{
    return nibble < 10 ? nibble + 0x30 : nibble + 0x37;
}

int DigitValue(int digit)
{
    return digit <= 0x39 ? digit - 0x30 : digit - 0x37;
}

int EscapedByte(int d1, int d2)
{
    int value = DigitValue(d1) * 16 + DigitValue(d2);
    return value < 0 ? -1 : value & 0xFF;
}

int EncodeDataByte(int byte, unsigned char* item)
{
    if (IsPlainByte(byte)) {
        item[0] = (unsigned char)byte;
        return 1;
    }
    item[0] = FrameEsc;
    item[1] = FrameByte;
    item[2] = (unsigned char)NibbleDigit((byte >> 4) & 0x0F);
    item[3] = (unsigned char)NibbleDigit(byte & 0x0F);
    return 4;
}
