// A Z88 for the tests, at the far end of the test line (peer_line.h). It is written from the
// line format on its own, apart from the program's framing code, so that a mistake made in
// both places cannot pass: it builds the frames a Z88 sends (and the broken ones a bad cable
// makes), and it captures and strictly decodes what the program sends.
#ifndef TARNWELL_TEST_Z88_H
#define TARNWELL_TEST_Z88_H

#include <stddef.h>

#include <initializer_list>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

// Byte strings for building frames by hand: Bytes{0x1B, 'N'} + Text("NAME") + ...
Bytes Text(const std::string& text);
Bytes operator+(Bytes left, const Bytes& right);

// Every byte value once, 0 to 255 in order.
Bytes EveryByte();

// The line format's worked examples: a file byte and the data item that stands for it.
struct FormatExample {
    int byte;
    Bytes line;
};
extern const std::vector<FormatExample> FormatExamples;

// The data part of a file as a Z88 writes it: tab, line feed, carriage return and 0x20..0x7F
// as they are, every other byte as ESC 'B' and two hexadecimal digits (small letters when
// `lowercase`: a garbled line, which the program must refuse).
Bytes Z88EncodeData(const Bytes& data, bool lowercase = false);

// A whole frame: ESC 'N', the name, ESC 'F', the data, ESC 'E'.
Bytes Z88Frame(const std::string& name, const Bytes& data, bool lowercase = false);

// One frame read back from the bytes the program put on the line.
struct Z88Decoded {
    bool complete = false;  // the frame ran to its end mark, obeying every rule
    std::string name;
    Bytes data;
    std::string fault;      // the first breach of the format, or why the frame stopped
    size_t used = 0;        // line bytes taken by the frame, end mark included
};

// Decodes the first frame in `line`, strictly: the start mark must come first; data bytes
// outside the plain set must be escaped, those inside it must not be, and digits must be
// "0".."9" and "A".."F". A line that stops early gives complete == false and the parts so far.
Z88Decoded Z88Decode(const Bytes& line);

// Every frame in `line`, one after another, decoded as Z88Decode does; the last one may be
// cut short (complete == false), and nothing after it is decoded.
std::vector<Z88Decoded> Z88DecodeAll(const Bytes& line);

// How Z88SendInBackground puts bytes on the line.
struct Z88Pacing {
    int gapMs = 0;           // wait between two bytes
    size_t pauseBefore = (size_t)-1;  // index of a byte to hold back ...
    int pauseMs = 0;         // ... for this long
    bool hangUpAfter = false;  // hang the line up after the last byte
};

// Sends `bytes` from a thread of its own, so that the program can read them meanwhile on
// the test's thread. One send at a time; Z88WaitSent ends it.
void Z88SendInBackground(const Bytes& bytes, Z88Pacing pacing = Z88Pacing());

// Waits for the background send to end; false when the line refused a byte.
bool Z88WaitSent();

// Captures everything the program sends, from a thread of its own, so that the program's
// writes never wait for a full line buffer.
void Z88StartListening();

// Stops capturing once the line has been quiet for `quietMs`; returns what came.
Bytes Z88StopListening(int quietMs = 300);

// How many bytes the capture has taken so far.
size_t Z88HeardSoFar();

#endif
