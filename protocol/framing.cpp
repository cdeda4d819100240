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
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

int EscapedByte(int d1, int d2)
{
    int high = DigitValue(d1);
    int low = DigitValue(d2);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
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
