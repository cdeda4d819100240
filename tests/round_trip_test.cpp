// A file's whole road on a real line, on both builds: the Z88 sends it, a poll tick finds the
// start and the receive session stores it; dropped back onto the program, the stored file
// goes out under the Z88's own name and arrives exactly as it left.
#include "protocol/poll.h"
#include "protocol/send.h"
#include "tests/receive_fixture.h"

namespace {

class RoundTrip : public ReceiveFixture {};

TEST_F(RoundTrip, EveryByteValueComesBackUnchanged)
{
    Bytes all;
    for (int value = 0; value < 256; value++)
        all.push_back((unsigned char)value);
    struct Case {
        const char* preserve;
        const char* stored;
    } cases[] = {
        {"1", "@RAM_0!ALL_BIN.z88"},
        {"0", "ALL.BIN"},
    };
    // An '@' in the store folder's path is no part of a stored file's name: it changes
    // nothing on the way back.
    const std::string atFolder = folder + "me@host" + PathSeparator();
    ASSERT_TRUE(MakeTestFolder(atFolder));
    for (const std::string& directory : {folder, atFolder}) {
        ASSERT_NO_FATAL_FAILURE(UseDirectory(directory));
        for (const Case& c : cases) {
            SCOPED_TRACE(directory + c.stored);
            ResetFakeUi();
            PutSetting("Preserve", c.preserve);

            Z88SendInBackground(Z88Frame(":RAM.0/ALL.BIN", all));
            SettleLine();
            PollLink(Owner());
            ASSERT_TRUE(Z88WaitSent());
            std::string stored;
            ASSERT_TRUE(ReadWholeFile(directory + c.stored, &stored));
            ASSERT_EQ(Bytes(stored.begin(), stored.end()), all);

            Z88StartListening();
            EXPECT_NE(SendFile(Owner(), (directory + c.stored).c_str()), 0);
            Z88Decoded back = Z88Decode(Z88StopListening());
            EXPECT_TRUE(back.complete) << back.fault;
            EXPECT_EQ(back.name, "all.bin");
            EXPECT_EQ(back.data, all);
            // One beep for the file received, one for the file sent.
            EXPECT_EQ(FakeUi.Beeps(), 2);
        }
    }
}

}  // namespace
