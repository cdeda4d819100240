// The fault soak: the test Z88 and the whole program (program.h) on a real line,
// step after step, files both ways: names from a small set, so that previous copies keep
// being replaced, random bytes from 0 to 64 KiB, and faults at random between and inside
// transfers. After each step the store folder and what the Z88 got are checked against the
// soak's own record; at the end it prints a table, with the program's descriptors and memory.
// Files are dropped on the main window with the drag source, as a user drops them.
//   steps: TARNWELL_SOAK_STEPS (50), random seed: TARNWELL_SOAK_SEED (the time)
#include "tests/support/host_tool.h"
#include "tests/support/line_fixture.h"
#include "tests/support/program.h"
#include "tests/support/z88.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Names the Z88 sends, the names they are stored under ("Preserve" on) and the names they
// go back to the Z88 with when the stored file is dropped.
struct SoakName {
    const char* z88;
    const char* stored;
    const char* sentBack;
};
const SoakName Names[] = {
    {":RAM.0/LETTER.TXT", "@RAM_0!LETTER_TXT.z88", "letter.txt"},
    {":RAM.0/DIR/SUB/NOTES", "@RAM_0!DIR!SUB!NOTES.z88", "notes"},
    {":RAM.1/A.B.C", "@RAM_1!A_B_C.z88", "a.b_c"},
    {"LETTER.TXT", "LETTER_TXT.z88", "letter_txt.z88"},
    {":RAM.0/../../OUT", "@RAM_0!__!__!OUT.z88", "out"},
};
// Files of the PC's own, sent under their own names.
const char* const OutboxNames[] = {"memo.txt", "photo.bin", "z"};
// The frames that tell the soak the program has handled everything sent before them are
// named "SYNC" and a number, stored as that and ".z88".
bool IsSyncFile(const std::string& name)
{
    return name.find("SYNC") != std::string::npos;
}

enum Fault { NoFault, CutFrame, Noise, StartInData, Silence, XoffHeld, EscHeld, FaultKinds };
const char* const FaultNames[] = {"none",
                                  "frame cut mid-data",
                                  "noise between frames",
                                  "ESC N inside the data",
                                  "Z88 silent 3 s mid-frame",
                                  "XOFF held during a send",
                                  "Esc held during a transfer"};

int EnvNumber(const char* name, int fallback)
{
    const char* text = getenv(name);
    return text && atoi(text) > 0 ? atoi(text) : fallback;
}

std::string FileText(const std::string& path)
{
    std::string text;
    return ReadWholeFile(path, &text) ? text : std::string("<none>");
}

class Soak : public LineFixture {
protected:
    static void SetUpTestSuite() { PrepareDesktop(); }

    void SetUp() override
    {
        seed = (unsigned)EnvNumber("TARNWELL_SOAK_SEED", (int)time(nullptr));
        random.seed(seed);
        ASSERT_NO_FATAL_FAILURE(LineFixture::SetUp());
        // The drag source names files by their host paths; the soak reads them by the program's.
        hostFolder = NewHostFolder();
        folder = ProgramPath(hostFolder);
        store = folder + "store" + PathSeparator();
        outbox = folder + "outbox" + PathSeparator();
        ASSERT_TRUE(MakeTestFolder(store) && MakeTestFolder(outbox));
        PutSetting("Rate", "9600");
        PutSetting("Xon", "1");
        PutSetting("Directory", store.c_str());
        PutSetting("Preserve", "1");
        ASSERT_TRUE(StartProgram());
        ASSERT_TRUE(WaitForMainWindow(60000, &main)) << "the main window never came up";
        // Wine reports a held key only while the pointer is over the program's window.
        PointAt(main.client);
    }

    void TearDown() override
    {
        RunHostTool({"xdotool", "keyup", "Escape"});
        Z88StopListening(0);
        if (CloseMainWindow())
            WaitForProgramExit(10000);
        KillProgram();
        LineFixture::TearDown();
        // A failed soak leaves its folder for a look at what went wrong.
        if (!HasFailure()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }

    // 0 to 64 KiB of random bytes; small files are as likely as large ones, and both ends
    // come up often.
    Bytes RandomData()
    {
        int kind = Pick(10);
        size_t size = kind == 0 ? 0 : kind == 1 ? 65536 : (size_t)exp(std::uniform_real_distribution<double>(0, log(65536.0))(random));
        Bytes data(size);
        for (unsigned char& byte : data)
            byte = (unsigned char)Pick(256);
        return data;
    }

    // Line noise: any byte but ESC and the flow-control bytes, and now and then ESC with a
    // letter that starts nothing.
    Bytes RandomNoise()
    {
        Bytes noise;
        for (int i = 1 + Pick(64); i > 0; i--) {
            unsigned char byte = (unsigned char)Pick(256);
            if (byte == Esc)
                noise.push_back(Esc), byte = 'X';
            if (byte != Xon && byte != Xoff)
                noise.push_back(byte);
        }
        return noise;
    }

    // Puts bytes[from, to) on the line in pieces. The program runs in a process of its own,
    // so nothing waits for this thread; but a program that drains stray bytes only a tick at a
    // time (under Wine, say) would make one large write time out.
    static bool PutOnLine(const Bytes& bytes, size_t from, size_t to)
    {
        for (size_t at = from; at < to; at += 1024) {
            if (!PeerSend(&bytes[at], std::min<size_t>(1024, to - at)))
                return false;
        }
        return true;
    }

    static void Send(const Bytes& bytes)
    {
        ASSERT_TRUE(PutOnLine(bytes, 0, bytes.size())) << "the line refused the Z88's bytes";
    }

    static void HoldEscape(bool down)
    {
        RunHostTool({"xdotool", down ? "keydown" : "keyup", "Escape"});
    }

    // Sends a frame of its own and waits until the program has stored it: everything sent
    // before has then been handled. A frame that met the end of a failed reception is lost
    // with it, so it is sent again until it lands. Each has a name never used before: on
    // Windows a file that the soak holds open for a look cannot be moved aside, so the soak
    // looks only at a file that the program has put in place and will not touch again.
    void Sync()
    {
        for (int attempt = 1; attempt <= 15; attempt++) {
            std::string name = "SYNC" + std::to_string(++syncs);
            ASSERT_NO_FATAL_FAILURE(Send(Z88Frame(name, Text(name))));
            if (WaitUntil([&] { return FileText(store + name + ".z88") == name; }, 4000)) {
                // The program is idle now: the older ones go, so that the folder stays small.
                for (const auto& entry : std::filesystem::directory_iterator(store)) {
                    std::string file = entry.path().filename().string();
                    if (IsSyncFile(file) && file != name + ".z88")
                        std::filesystem::remove(entry.path());
                }
                return;
            }
            ASSERT_EQ(WaitForProgramExit(0), -1) << "the program has ended";
        }
        FAIL() << "the program stored no sync frame in a minute";
    }

    // The store folder and the outbox against the record; counts what it compared and what
    // was lost.
    void CheckDisk(const std::string& what)
    {
        std::set<std::string> allowed;
        for (const SoakName& name : Names)
            for (const char* prefix : {"", "_", "~"})
                allowed.insert(prefix + std::string(name.stored));
        for (const auto& entry : std::filesystem::directory_iterator(store)) {
            std::string name = entry.path().filename().string();
            EXPECT_TRUE((allowed.count(name) || IsSyncFile(name)) && entry.is_regular_file()) << what << ": unexpected " << name;
            bool known = name[0] == '~' || IsSyncFile(name) || record.count(name);
            EXPECT_TRUE(known) << what << ": " << name << " is there, and nothing should be";
        }
        for (const auto& file : record) {
            filesChecked++;
            if (FileText(store + file.first) != file.second) {
                lost++;
                ADD_FAILURE() << what << ": " << file.first << " does not hold what it should";
            }
        }
        for (const auto& file : outboxRecord) {
            filesChecked++;
            EXPECT_EQ(FileText(outbox + file.first), file.second) << what << ": outbox file changed";
        }
        std::set<std::string> top;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            top.insert(entry.path().filename().string());
        EXPECT_TRUE(top == std::set<std::string>({"store", "outbox"}))
            << what << ": something was made beside the store folder";
    }

    void ReceiveStep(const std::string& what)
    {
        const SoakName& name = Names[Pick(sizeof Names / sizeof Names[0])];
        const Fault faults[] = {NoFault, NoFault, NoFault, CutFrame, Noise, StartInData, Silence, EscHeld};
        Fault fault = faults[Pick(sizeof faults / sizeof faults[0])];
        Bytes data = RandomData();
        Bytes frame = Z88Frame(name.z88, data);
        const size_t dataStart = 2 + strlen(name.z88) + 2;
        const size_t dataEnd = frame.size() - 2;

        if (fault == CutFrame) {
            ASSERT_NO_FATAL_FAILURE(Send(Bytes(frame.begin(), frame.begin() + dataStart + Pick((int)(dataEnd - dataStart) + 1))));
        } else if (fault == Noise) {
            ASSERT_NO_FATAL_FAILURE(Send(RandomNoise() + frame));
        } else if (fault == StartInData) {
            size_t split = (size_t)Pick((int)data.size() + 1);
            Bytes head(data.begin(), data.begin() + split), tail(data.begin() + split, data.end());
            ASSERT_NO_FATAL_FAILURE(Send(Bytes{Esc, 'N'} + Text(name.z88) + Bytes{Esc, 'F'} + Z88EncodeData(head) +
                                         Bytes{Esc, 'N'} + Z88EncodeData(tail) + Bytes{Esc, 'E'}));
        } else if (fault == Silence) {
            size_t pause = 2 + (size_t)Pick((int)frame.size() - 2);
            ASSERT_TRUE(PutOnLine(frame, 0, pause));
            Pause(3000);
            ASSERT_TRUE(PutOnLine(frame, pause, frame.size()));
        } else if (fault == EscHeld) {
            size_t split = 2 + (size_t)Pick((int)frame.size() - 1);
            ASSERT_TRUE(PutOnLine(frame, 0, split));
            // While Esc is held the program takes a byte a tick: the rest waits on the line.
            HoldEscape(true);
            bool sent = false;
            std::thread rest([&] { sent = PutOnLine(frame, split, frame.size()); });
            Pause(1200);
            HoldEscape(false);
            rest.join();
            ASSERT_TRUE(sent) << "the line refused the Z88's bytes";
        } else {
            ASSERT_NO_FATAL_FAILURE(Send(frame));
        }
        faultCounts[fault]++;
        receptions++;

        // The record after a whole reception: the new copy, and the one it replaced before it
        // (the same copy again, an empty one say, replaces nothing).
        std::map<std::string, std::string> whole = record;
        const std::string stored = name.stored, previous = std::string("_") + name.stored;
        if (whole.count(stored) && whole[stored] != std::string(data.begin(), data.end()))
            whole[previous] = whole[stored];
        whole[stored] = std::string(data.begin(), data.end());
        bool mustBeWhole = fault == NoFault || fault == Noise;
        auto isWhole = [&] {
            return FileText(store + stored) == whole[stored] &&
                   (!whole.count(previous) || FileText(store + previous) == whole[previous]);
        };
        // Let a failed reception run into its time-out before the sync frame comes.
        if (!mustBeWhole)
            Pause(1500);
        ASSERT_NO_FATAL_FAILURE(Sync());
        // With Esc held the reception may have ended before the key was seen.
        if (mustBeWhole || (fault == EscHeld && isWhole()))
            record = whole;
        CheckDisk(what + " (" + name.z88 + ", " + std::to_string(data.size()) + " bytes, " + FaultNames[fault] + ")");
    }

    void DropStep(const std::string& what)
    {
        struct Dropped {
            std::string path, name, data;  // path: the host's, for the drag source
        };
        std::vector<Dropped> files;
        for (int i = 1 + Pick(3); i > 0; i--) {
            const SoakName& name = Names[Pick(sizeof Names / sizeof Names[0])];
            if (Pick(2) && record.count(name.stored)) {
                files.push_back({hostFolder + "store/" + name.stored, name.sentBack, record[name.stored]});
                continue;
            }
            // A file dropped twice in one drop is the same file both times.
            std::string own = OutboxNames[Pick(sizeof OutboxNames / sizeof OutboxNames[0])];
            if (std::none_of(files.begin(), files.end(), [&](const Dropped& file) { return file.name == own; })) {
                Bytes data = RandomData();
                outboxRecord[own] = std::string(data.begin(), data.end());
                WriteWholeFile(outbox + own, outboxRecord[own]);
            }
            files.push_back({hostFolder + "outbox/" + own, own, outboxRecord[own]});
        }
        const Fault faults[] = {NoFault, NoFault, XoffHeld, EscHeld};
        Fault fault = faults[Pick(sizeof faults / sizeof faults[0])];

        // What came before is no part of this drop (the echo of a line not yet made raw, say).
        PeerDiscardInput();
        Z88StartListening();
        // The transfer log opens over the main window: moved aside, as a user would, so that
        // the drop lands on the main window.
        RunHostTool({"xdotool", "search", "--name", "File Transfer Information", "windowmove", "%@",
                     std::to_string(main.frame.x + 300), std::to_string(main.frame.y + 300)});
        Pause(300);
        // On Linux the drag source ends once the program has sent the files; under Wine once
        // the drop is posted: it runs beside the faults.
        std::vector<std::string> paths;
        for (const Dropped& file : files)
            paths.push_back(file.path);
        int dropped = -1;
        std::thread drop([&] { dropped = DropOn(main.client, paths); });
        if (fault == XoffHeld || fault == EscHeld) {
            Pause(Pick(1500));
            if (fault == XoffHeld) {
                const unsigned char stop = Xoff, go = Xon;
                PeerSend(&stop, 1);
                Pause(300 + Pick(2700));
                PeerSend(&go, 1);
            } else {
                HoldEscape(true);
                Pause(1200);
                HoldEscape(false);
            }
        }
        drop.join();
        ASSERT_EQ(dropped, 0) << what << ": the drag source failed";
        faultCounts[fault]++;
        drops++;
        droppedFiles += (int)files.size();

        // The program has finished the drop once the line has been quiet longer than the
        // longest XOFF.
        Bytes line = Z88StopListening(4000);
        // The PC's own XON and XOFF (its input filling up) are no part of a frame.
        line.erase(std::remove_if(line.begin(), line.end(), [](unsigned char b) { return b == Xon || b == Xoff; }), line.end());

        // The files arrive whole, in order, up to the first that failed; that one is at most a
        // frame cut short (or whole: Esc seen after its last byte), and nothing comes after it.
        // Without a fault every file arrives whole.
        std::vector<Z88Decoded> frames = Z88DecodeAll(line);
        int sent = 0;
        while (sent < (int)frames.size() && sent < (int)files.size() && frames[sent].complete)
            sent++;
        std::string context = what + " (" + std::to_string(files.size()) + " files, " + FaultNames[fault] + ")";
        if (fault == NoFault) {
            EXPECT_EQ(sent, (int)files.size()) << context;
        }
        size_t at = 0;
        for (int i = 0; i < (int)files.size(); i++) {
            if (at >= line.size()) {
                EXPECT_GE(i, sent) << context << ": file " << i << " of the whole ones never came";
                break;
            }
            Z88Decoded frame = Z88Decode(Bytes(line.begin() + at, line.end()));
            at += frame.used;
            filesChecked++;
            std::string got(frame.data.begin(), frame.data.end());
            if (i < sent) {
                EXPECT_TRUE(frame.complete && frame.name == files[i].name && got == files[i].data)
                    << context << ": file " << i << " came whole, but the Z88 got \"" << frame.name << "\" ("
                    << files[i].name << "), " << got.size() << " bytes (" << files[i].data.size() << ") " << frame.fault;
                continue;
            }
            EXPECT_EQ(i, sent) << context << ": a file after a failed one was sent";
            EXPECT_TRUE(files[i].name.compare(0, frame.name.size(), frame.name) == 0 &&
                        files[i].data.compare(0, got.size(), got) == 0)
                << context << ": the cut frame is not the start of file " << i;
            if (!frame.complete) {
                // Cut: at most the start of one data item follows where the decoding stopped,
                // or of the start mark, when only its ESC went out.
                bool cut = frame.fault.compare(0, 9, "line ends") == 0 || (line.size() - at == 1 && line[at] == Esc);
                EXPECT_TRUE(cut) << context << ": " << frame.fault;
                EXPECT_LE(line.size() - at, 3u) << context << ": bytes after the cut frame";
                break;
            }
        }
        CheckDisk(context);
    }

    unsigned seed = 0;
    std::mt19937 random;
    ProgramWindow main;
    std::string hostFolder, store, outbox;
    std::map<std::string, std::string> record;        // store file -> what it must hold
    std::map<std::string, std::string> outboxRecord;  // outbox file -> what it holds
    int syncs = 0, receptions = 0, drops = 0, droppedFiles = 0;
    long filesChecked = 0, lost = 0;
    int faultCounts[FaultKinds] = {};
};

TEST_F(Soak, NothingIsLostUnderFaults)
{
    const int steps = EnvNumber("TARNWELL_SOAK_STEPS", 50);
    ASSERT_NO_FATAL_FAILURE(Sync());
    ProgramCost start, end;
    ProgramUsage(&start);
    int startHandles = ProgramOpenHandles();
    const Clock::time_point began = Clock::now();
    auto seconds = [&] { return (long)std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - began).count(); };
    int step = 1;
    for (; step <= steps && !HasFatalFailure() && !HasNonfatalFailure(); step++) {
        std::string what = "step " + std::to_string(step);
        if (Pick(5) < 3)
            ReceiveStep(what);
        else
            DropStep(what);
        ASSERT_EQ(WaitForProgramExit(0), -1) << what << ": the program has ended";
        if (step % 50 == 0) {
            printf("soak: %d steps, %ld s\n", step, seconds());
            fflush(stdout);
        }
    }
    ASSERT_NO_FATAL_FAILURE(Sync());
    CheckDisk("at the end");
    ProgramUsage(&end);
    int endHandles = ProgramOpenHandles();

    printf("\nsoak (seed %u): %d steps in %ld s\n", seed, step - 1, seconds());
    printf("  receptions %d, drops %d (%d files)\n", receptions, drops, droppedFiles);
    for (int fault = 1; fault < FaultKinds; fault++)
        printf("  fault: %-28s %d\n", FaultNames[fault], faultCounts[fault]);
    printf("  steps without a fault          %d\n", faultCounts[NoFault]);
    printf("  files checked %ld, lost %ld\n", filesChecked, lost);
    printf("  program descriptors: start %d, end %d; RSS: start %ld kB, end %ld kB\n", startHandles, endHandles,
           start.residentKiB, end.residentKiB);
    EXPECT_EQ(lost, 0);
}

}  // namespace
