// The one-byte link and send session of byte_link.h: the code as it was, but for the port
// that goes away, which a benchmark never meets.
#include "tests/bench/byte_link.h"

#include "link/serial_link.h"
#include "link/serial_port.h"
#include "protocol/files.h"
#include "protocol/framing.h"
#include "protocol/names.h"
#include "ui/alerts.h"
#include "ui/progress.h"

#include <stdio.h>
#include <string.h>

int ByteLinkReadByte(int* value)
{
    *value = 0;
    int ok = PortIsOpen() && ByteReadPortByte(value) == PortMoved;
    if (EscapeHeld())
        ok = 0;
    return ok;
}

int ByteLinkWriteByte(int value)
{
    SetLinkTimeouts(TransferMode);
    int ok = PortIsOpen() && ByteWritePortByte((unsigned char)(value & 0xFF)) == PortMoved;
    if (EscapeHeld())
        ok = 0;
    return ok;
}

static int WriteBytes(int result, const unsigned char* bytes, int count)
{
    for (int i = 0; result && i < count; i++)
        result = ByteLinkWriteByte(bytes[i]);
    return result;
}

int ByteSendFile(WindowHandle owner, const char* path)
{
    static const unsigned char StartMark[] = {FrameEsc, FrameStart};
    static const unsigned char NameEndMark[] = {FrameEsc, FrameNameEnd};
    static const unsigned char EndMark[] = {FrameEsc, FrameEnd};
    const char* mapped = MapOutgoingName(path);
    if (!mapped || strchr(mapped, FrameEsc))
        return 0;
    char name[TextSize];
    int nameLength = (int)strlen(mapped);
    memcpy(name, mapped, nameLength + 1);
    FILE* source = OpenFileForReading(path);
    if (!source)
        return 0;
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
            if (ferror(source))
                result = 0;
            break;
        }
        unsigned char item[DataItemMax];
        result = WriteBytes(result, item, EncodeDataByte(byte, item));
        sent++;
        StepProgress(sent);
    }
    fclose(source);
    result = WriteBytes(result, EndMark, sizeof EndMark);
    if (result)
        SignalSuccess();
    CloseProgress();
    return result;
}
