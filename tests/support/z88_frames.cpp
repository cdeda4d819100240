// The test Z88's own encoder and strict decoder of the line format.
#include "tests/support/z88.h"

#include <stdio.h>

namespace {

const unsigned char Esc = 0x1B;

bool SentPlain(unsigned char byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || (byte >= 0x20 && byte <= 0x7F);
}

int HexValue(unsigned char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return -1;
}

std::string Describe(const char* what, size_t at, int byte = -1)
{
    char text[96];
    if (byte >= 0)
        snprintf(text, sizeof text, "%s (byte 0x%02X at line offset %zu)", what, byte, at);
    else
        snprintf(text, sizeof text, "%s (at line offset %zu)", what, at);
    return text;
}

}  // namespace

const std::vector<FormatExample> FormatExamples = {
    {0x41, {0x41}},
    {0x0D, {0x0D}},
    {0x7F, {0x7F}},
    {0x00, {0x1B, 0x42, 0x30, 0x30}},
    {0x1A, {0x1B, 0x42, 0x31, 0x41}},
    {0x1B, {0x1B, 0x42, 0x31, 0x42}},
    {0x80, {0x1B, 0x42, 0x38, 0x30}},
    {0xA9, {0x1B, 0x42, 0x41, 0x39}},
    {0xFF, {0x1B, 0x42, 0x46, 0x46}},
};

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

Bytes EveryByte()
{
    Bytes all;
    for (int value = 0; value < 256; value++)
        all.push_back((unsigned char)value);
    return all;
}

Bytes Z88EncodeData(const Bytes& data, bool lowercase)
{
    static const char upper[] = "0123456789ABCDEF";
    static const char lower[] = "0123456789abcdef";
    const char* digits = lowercase ? lower : upper;
    Bytes line;
    for (unsigned char byte : data) {
        if (SentPlain(byte)) {
            line.push_back(byte);
        } else {
            line.push_back(Esc);
            line.push_back('B');
            line.push_back((unsigned char)digits[byte >> 4]);
            line.push_back((unsigned char)digits[byte & 15]);
        }
    }
    return line;
}

Bytes Z88Frame(const std::string& name, const Bytes& data, bool lowercase)
{
    return Bytes{Esc, 'N'} + Text(name) + Bytes{Esc, 'F'} + Z88EncodeData(data, lowercase) +
           Bytes{Esc, 'E'};
}

Z88Decoded Z88Decode(const Bytes& line)
{
    Z88Decoded frame;
    size_t at = 0;
    auto more = [&](size_t count) { return at + count <= line.size(); };

    if (!more(2) || line[0] != Esc || line[1] != 'N') {
        frame.fault = line.empty() ? "nothing on the line" : Describe("no start mark", 0, line[0]);
        return frame;
    }
    at = 2;
    while (more(1) && line[at] != Esc)
        frame.name.push_back((char)line[at++]);
    if (!more(2)) {
        frame.fault = Describe("line ends inside the name", at);
        return frame;
    }
    if (line[at + 1] != 'F') {
        frame.fault = Describe("name not ended by ESC F", at + 1, line[at + 1]);
        return frame;
    }
    at += 2;

    // The data ends here: at `at`, for `fault` ("" at the end mark).
    auto stop = [&](const std::string& fault) {
        frame.fault = fault;
        frame.used = at;
        return frame;
    };
    for (;;) {
        if (!more(1))
            return stop(Describe("line ends inside the data", at));
        unsigned char byte = line[at];
        if (byte != Esc) {
            if (!SentPlain(byte))
                return stop(Describe("byte outside the plain set sent unescaped", at, byte));
            frame.data.push_back(byte);
            at++;
            continue;
        }
        if (!more(2))
            return stop(Describe("line ends after ESC", at));
        unsigned char command = line[at + 1];
        if (command == 'E') {
            at += 2;
            frame.complete = true;
            return stop("");
        }
        if (command != 'B')
            return stop(Describe("unknown command after ESC", at + 1, command));
        if (!more(4))
            return stop(Describe("line ends inside an escaped byte", at));
        int high = HexValue(line[at + 2]), low = HexValue(line[at + 3]);
        if (high < 0 || low < 0)
            return stop(Describe("escaped byte with a bad digit", at + 2, line[high < 0 ? at + 2 : at + 3]));
        unsigned char value = (unsigned char)(high * 16 + low);
        if (SentPlain(value))
            return stop(Describe("plain byte sent escaped", at, value));
        frame.data.push_back(value);
        at += 4;
    }
}

std::vector<Z88Decoded> Z88DecodeAll(const Bytes& line)
{
    std::vector<Z88Decoded> frames;
    Bytes rest = line;
    while (!rest.empty()) {
        frames.push_back(Z88Decode(rest));
        if (!frames.back().complete)
            break;
        rest.erase(rest.begin(), rest.begin() + frames.back().used);
    }
    return frames;
}
