// The framing of a file on the serial line, the same in both directions, written once for
// the receive and the send session:
//
//   ESC 'N'  name  ESC 'F'  data items  ESC 'E'
//
// A data item is a byte of the file either plain (the byte itself) or escaped as
// ESC 'B' and two uppercase hexadecimal digits. The sender writes plain only tab, line feed,
// carriage return and 0x20..0x7F; the receiver takes any byte but ESC as plain.
#ifndef TARNWELL_FRAMING_H
#define TARNWELL_FRAMING_H

enum {
    FrameEsc = 0x1B,       // starts every escape sequence
    FrameStart = 'N',      // ESC 'N': a file starts, its name follows
    FrameNameEnd = 'F',    // ESC 'F': the name is over, the data follows
    FrameByte = 'B',       // ESC 'B' d1 d2: one data byte given by two digits
    FrameEnd = 'E',        // ESC 'E': the file is over
    DataItemMax = 4,       // the longest data item: ESC 'B' d1 d2
};

// Non-zero for the 99 byte values a sender writes plain; 0 for the other 157 and for any
// value outside 0..255.
int IsPlainByte(int byte);

// The digit character for a nibble 0..15: '0'..'9', 'A'..'F'.
int NibbleDigit(int nibble);

// The value of a digit character: 0..9 for '0'..'9', 10..15 for 'A'..'F'. -1 for anything
// else, small letters included: a Z88 writes no other digit, so any other byte is one the
// line has garbled.
int DigitValue(int digit);

// The byte that ESC 'B' d1 d2 stands for: DigitValue(d1) * 16 + DigitValue(d2). -1 when
// either is no digit: it names no byte, and the receiver has to decide what to do with it.
int EscapedByte(int d1, int d2);

// Writes the data item for `byte` (0..255) into `item` (DataItemMax bytes) and returns its
// length: 1 for a plain byte, 4 for an escaped one.
int EncodeDataByte(int byte, unsigned char* item);

#endif
