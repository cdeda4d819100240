// The send session: one dropped file, framed and written to the Z88 in short runs.
#include "protocol/send.h"

#include "link/serial_link.h"
#include "protocol/files.h"
#include "protocol/framing.h"
#include "protocol/names.h"
#include "settings/settings.h"
#include "ui/alerts.h"
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

int SendFile(WindowHandle owner, const char* path)
{
    // Everything that can refuse the file is asked before the window opens or a byte goes
    // out, so that a refusal leaves no trace. MapOutgoingName refuses a path too long for
    // its buffer rather than cut it. An ESC in the name would end the name on the line and
    // start a command of whatever follows it.
    const char* mapped = MapOutgoingName(path);
    if (!mapped || strchr(mapped, FrameEsc))
        return 0;
    // Kept apart from NameBuffer, which every mapping overwrites: the name checked is the
    // name sent.
    char name[TextSize];
    int nameLength = (int)strlen(mapped);
    memcpy(name, mapped, nameLength + 1);

    FILE* source = OpenFileForReading(path);
    if (!source)
        return 0;

    // The title is only shown: a long path makes it longer than its buffer, and it is cut.
    char title[TextSize];
    snprintf(title, sizeof title, "Now sending file \"%s\"", path);
    ShowProgress(owner, title);

    Run run;
    run.length = run.items = run.sent = 0;
    run.full = LinkRunLength();
    int result = Put(&run, 1, StartMark, sizeof StartMark, 0);
    result = Put(&run, result, (const unsigned char*)name, nameLength, 0);
    result = Put(&run, result, NameEndMark, sizeof NameEndMark, 0);

    int readFailed = 0;
    while (result) {
        int byte = getc(source);
        if (byte == EOF) {
            readFailed = ferror(source);
            break;
        }
        unsigned char item[DataItemMax];
        result = Put(&run, result, item, EncodeDataByte(byte, item), 1);
    }
    fclose(source);

    // A read error ends the frame where it stands, after what was read before it: with an
    // end mark the Z88 would keep part of the file as all of it.
    if (readFailed) {
        if (result && run.length > 0)
            WriteRun(&run);
        result = 0;
    }
    result = Put(&run, result, EndMark, sizeof EndMark, 0);
    if (result && run.length > 0)
        result = WriteRun(&run);
    if (result)
        SignalSuccess();
    CloseProgress();
    return result;
}
