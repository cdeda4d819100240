// The send session: one dropped file, framed and written to the Z88 one byte at a time.
#include "protocol/send.h"

#include "link/failure.h"
#include "link/serial_link.h"
#include "protocol/files.h"
#include "protocol/framing.h"
#include "protocol/names.h"
#include "protocol/outcome.h"
#include "settings/settings.h"
#include "ui/alerts.h"
#include "ui/progress.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

static const unsigned char StartMark[] = {FrameEsc, FrameStart};
static const unsigned char NameEndMark[] = {FrameEsc, FrameNameEnd};
static const unsigned char EndMark[] = {FrameEsc, FrameEnd};

// Writes the bytes one by one while `result` is still non-zero; after the first failed
// write nothing more goes out. Returns the running result.
static int WriteBytes(int result, const unsigned char* bytes, int count)
{
    for (int i = 0; result && i < count; i++)
        result = LinkWriteByte(bytes[i]);
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

int SendFile(WindowHandle owner, const char* path)
{
    // Everything that can refuse the file is asked before the window opens or a byte goes
    // out, so that a refusal leaves no trace. MapOutgoingName refuses a path too long for
    // its buffer rather than cut it.
    ClearFailure();
    const char* mapped = MapOutgoingName(path);
    if (!mapped || HoldsControlByte(mapped)) {
        if (mapped)
            NoteFailure("its name holds a control character, which the Z88 cannot take");
        else
            NoteFailure("the path is longer than %d characters", LongestSendPath);
        ReportOutcome(owner, 0, path, 0);
        return 0;
    }
    // Kept apart from NameBuffer, which every mapping overwrites: the name checked is the
    // name sent.
    char name[TextSize];
    int nameLength = (int)strlen(mapped);
    memcpy(name, mapped, nameLength + 1);

    FILE* source = OpenFileForReading(path);
    if (!source) {
        struct stat info;
        if (stat(path, &info) != 0)
            NoteFailure("the file cannot be found (%s)", SystemErrorText());
        else
            NoteFailure("it is not a file that can be read");
        ReportOutcome(owner, 0, path, 0);
        return 0;
    }

    // The title is only shown: a long path makes it longer than its buffer, and it is cut.
    char title[TextSize];
    snprintf(title, sizeof title, "Now sending file \"%s\"", path);
    ShowProgress(owner, title);

    int result = WriteBytes(1, StartMark, sizeof StartMark);
    result = WriteBytes(result, (const unsigned char*)name, nameLength);
    result = WriteBytes(result, NameEndMark, sizeof NameEndMark);

    int sent = 0;
    while (result) {
        int byte = getc(source);
        if (byte == EOF) {
            // The end of the file ends the data. A read error ends the frame where it
            // stands: with an end mark the Z88 would keep part of the file as all of it.
            if (ferror(source))
                result = NoteFailure("the file could not be read to its end (%s)", SystemErrorText());
            break;
        }
        unsigned char item[DataItemMax];
        result = WriteBytes(result, item, EncodeDataByte(byte, item));
        // Counted also when its write failed: the byte was read and perhaps partly sent.
        sent++;
        StepProgress(sent);
    }
    fclose(source);

    result = WriteBytes(result, EndMark, sizeof EndMark);
    // The file is whole only once its last byte has left the PC: a USB adapter's driver may
    // still hold seconds of them, and drops them when the port closes.
    if (result)
        result = LinkDrainOutput();
    if (result)
        SignalSuccess();
    ReportOutcome(owner, 0, path, result);
    CloseProgress();
    return result;
}
