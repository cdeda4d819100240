// The send session: one dropped file, framed and written to the Z88 in short runs.
#include "protocol/send.h"

#include "base/failure.h"
#include "link/serial_link.h"
#include "base/files.h"
#include "protocol/framing.h"
#include "protocol/names.h"
#include "protocol/outcome.h"
#include "settings/settings.h"
#include "ui/progress.h"

#include <stdio.h>
#include <string.h>

static const unsigned char StartMark[] = {FrameEsc, FrameStart};
static const unsigned char NameEndMark[] = {FrameEsc, FrameNameEnd};
static const unsigned char EndMark[] = {FrameEsc, FrameEnd};

// The frame on its way to the link, a run at a time: a run goes out when it holds
// LinkRunLength() bytes (about 20 ms of the line, so that Esc, asked after each run, still
// ends a send at once), and the last when the frame is over. It also knows where in it each
// file byte's data item begins, so that the progress counts only file bytes that reached the
// line.
struct Run {
    unsigned char bytes[LinkRunMax];
    int length;                 // bytes in it now
    int full;                   // LinkRunLength() when the send began
    int items;                  // data items that begin in it ...
    short itemStart[LinkRunMax];  // ... and where
    int sent;                   // file bytes counted so far
};

// Hands the run to the link and empties it. Each file byte whose data item began within what
// the link wrote is counted with StepProgress; when the write failed, so is the one whose
// item it failed in: that byte was read and perhaps partly sent. The write's result.
static int WriteRun(Run* run)
{
    int written = 0;
    int result = LinkWriteBytes(run->bytes, run->length, &written);
    int reached = written < run->length ? written + 1 : written;
    for (int i = 0; i < run->items && run->itemStart[i] < reached; i++)
        StepProgress(++run->sent);
    run->length = run->items = 0;
    return result;
}

// Adds the bytes to the run while `result` is still non-zero, writing the run whenever it is
// full; after the first failed write nothing more goes out. `item` marks them as one file
// byte's data item. Returns the running result.
static int Put(Run* run, int result, const unsigned char* bytes, int count, int item)
{
    if (item && result)
        run->itemStart[run->items++] = (short)run->length;
    for (int i = 0; result && i < count; i++) {
        run->bytes[run->length++] = bytes[i];
        if (run->length == run->full)
            result = WriteRun(run);
    }
    return result;
}

// Non-zero when `name` holds a control byte, below 0x20 or 0x7F. None belongs in a name on
// the line: an ESC would end the name and start a command of whatever follows it, and XON
// or XOFF would act as flow control in the middle of it.
static int HoldsControlByte(const char* name)
{
    for (const unsigned char* p = (const unsigned char*)name; *p; p++) {
        if (*p < 0x20 || *p == 0x7F)
            return 1;
    }
    return 0;
}

FILE* OpenFileToSend(const char* path)
{
    FILE* source = OpenFileForReading(path);
    if (!source) {
        if (!SomethingStandsAt(path))
            NoteFailure("the file cannot be found (%s)", SystemErrorText());
        else
            NoteFailure("it is not a file that can be read");
    }
    return source;
}

// Says why `path` is refused (the reason noted), with nothing shown and nothing sent; 0.
static int Refuse(WindowHandle owner, const char* path, int* refused)
{
    if (refused)
        *refused = 1;
    ReportOutcome(owner, TransferDirection::Sending, path, 0);
    return 0;
}

// The name `path` goes to the Z88 under, into `name` (TextSize bytes): MapOutgoingName's, kept
// apart from NameBuffer, which every mapping overwrites, so that the name checked is the
// name sent. 0, with the reason noted, for a name the line cannot carry.
static int NameForZ88(const char* path, char* name)
{
    // MapOutgoingName refuses a path too long for its buffer rather than cut it.
    const char* mapped = MapOutgoingName(path);
    if (!mapped)
        return NoteFailure("the path is longer than %d characters", LongestSendPath);
    if (HoldsControlByte(mapped))
        return NoteFailure("its name holds a control character, which the Z88 cannot take");
    // A stored name's '@' branch leaves nothing of "report@v2": a frame with no name would
    // give the Z88 a file it cannot name.
    if (!mapped[0])
        return NoteFailure("its name for the Z88 would be empty");
    memcpy(name, mapped, strlen(mapped) + 1);
    return 1;
}

// Puts the bytes of `source` into the run as data items up to its end, and closes it. A read
// error ends the frame where it stands, after what was read before it: with an end mark the
// Z88 would keep part of the file as all of it. Returns the running result.
static int PutFileData(Run* run, int result, FILE* source)
{
    int readFailed = 0;
    while (result) {
        int byte = getc(source);
        if (byte == EOF) {
            readFailed = ferror(source);
            if (readFailed)
                NoteFailure("the file could not be read to its end (%s)", SystemErrorText());
            break;
        }
        unsigned char item[DataItemMax];
        result = Put(run, result, item, EncodeDataByte(byte, item), 1);
    }
    fclose(source);
    if (readFailed) {
        if (result && run->length > 0)
            WriteRun(run);
        result = 0;
    }
    return result;
}

// Writes the frame of `source` under `name` to the link, and closes `source`. 1 when the
// whole frame, end mark included, was handed to the port; 0 at the first failure, where the
// frame stops.
static int WriteFrame(const char* name, FILE* source)
{
    Run run;
    run.length = run.items = run.sent = 0;
    run.full = LinkRunLength();
    int result = Put(&run, 1, StartMark, sizeof StartMark, 0);
    result = Put(&run, result, (const unsigned char*)name, (int)strlen(name), 0);
    result = Put(&run, result, NameEndMark, sizeof NameEndMark, 0);
    result = PutFileData(&run, result, source);
    result = Put(&run, result, EndMark, sizeof EndMark, 0);
    if (result && run.length > 0)
        result = WriteRun(&run);
    return result;
}

int SendFile(WindowHandle owner, const char* path, int* refused)
{
    // Everything that can refuse the file is asked before the window opens or a byte goes
    // out, so that a refusal leaves no trace.
    ClearFailure();
    if (refused)
        *refused = 0;
    char name[TextSize];
    if (!NameForZ88(path, name))
        return Refuse(owner, path, refused);
    FILE* source = OpenFileToSend(path);
    if (!source)
        return Refuse(owner, path, refused);

    ShowProgress(owner, TransferDirection::Sending, path);
    // The file is whole only once its last byte has left the PC: a USB adapter's driver may
    // still hold seconds of them, and drops them when the port closes.
    int whole = WriteFrame(name, source) && LinkDrainOutput();
    return EndTransfer(owner, TransferDirection::Sending, path, whole);
}
