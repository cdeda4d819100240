// The test Z88 is the referee of every transfer test, so its own encoder and decoder are
// checked here against the line format's worked examples before anything relies on them.
#include "tests/support/z88.h"

#include <gtest/gtest.h>

TEST(Z88Tool, EncodesTheFormatExamples)
{
    for (const FormatExample& example : FormatExamples)
        EXPECT_EQ(Z88EncodeData({(unsigned char)example.byte}), example.line) << "byte " << example.byte;

    EXPECT_EQ(Z88EncodeData({0x3B}, true), (Bytes{0x3B}));
    EXPECT_EQ(Z88EncodeData({0xAB}, true), (Bytes{0x1B, 'B', 'a', 'b'}));
}

TEST(Z88Tool, FrameLengthAndRoundTripOfEveryByte)
{
    const Bytes all = EveryByte();
    Bytes line = Z88Frame("NAME", all);
    // 99 plain bytes, 157 escaped ones: 2 + m + 2 + n + 3k + 2.
    EXPECT_EQ(line.size(), 2u + 4 + 2 + 256 + 3 * 157 + 2);

    Z88Decoded frame = Z88Decode(line + Text("trailing"));
    EXPECT_TRUE(frame.complete) << frame.fault;
    EXPECT_EQ(frame.name, "NAME");
    EXPECT_EQ(frame.data, all);
    EXPECT_EQ(frame.used, line.size());

    Z88Decoded empty = Z88Decode({0x1B, 'N', 0x1B, 'F', 0x1B, 'E'});
    EXPECT_TRUE(empty.complete);
    EXPECT_EQ(empty.name, "");
    EXPECT_TRUE(empty.data.empty());
}

TEST(Z88Tool, DecoderRefusesWhatAProperSenderNeverWrites)
{
    const Bytes head = Bytes{0x1B, 'N'} + Text("N") + Bytes{0x1B, 'F'};
    const Bytes end = {0x1B, 'E'};
    struct Case {
        const char* what;
        Bytes line;
    } cases[] = {
        {"unescaped 0x80", head + Bytes{0x80} + end},
        {"unescaped XOFF", head + Bytes{0x13} + end},
        {"plain byte escaped", head + Bytes{0x1B, 'B', '4', '1'} + end},
        {"small digits", head + Bytes{0x1B, 'B', 'a', '9'} + end},
        {"unknown command", head + Bytes{0x1B, 'N'} + end},
        {"cut inside an escape", head + Bytes{0x1B, 'B', '8'}},
        {"no end mark", head + Text("abc")},
        {"name not ended by F", Bytes{0x1B, 'N'} + Text("N") + Bytes{0x1B, 'E'}},
        {"no start mark", Text("N") + Bytes{0x1B, 'F'} + end},
    };
    for (const Case& c : cases) {
        Z88Decoded frame = Z88Decode(c.line);
        EXPECT_FALSE(frame.complete) << c.what;
        EXPECT_FALSE(frame.fault.empty()) << c.what;
    }
    // What was read before the fault is kept, for tests of cut frames.
    Z88Decoded cut = Z88Decode(head + Text("abc"));
    EXPECT_EQ(cut.data, Text("abc"));
}
