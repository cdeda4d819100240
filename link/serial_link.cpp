// The serial link's logic, the same on both platforms: the order in which a port is opened
// and configured from the settings, the bytes read ahead and handed out one by one, runs of
// writes, the Esc test after every byte read and every run written, and the port that went
// away, closed at once and tried again. The port itself is serial_port.h.
#include "link/serial_link.h"

#include "link/serial_port.h"
#include "settings/settings.h"
#include "ui/alerts.h"

#include <chrono>

LinkPort LinkHandle = 0;
char StoreDirectory[TextSize];

// The port the last OpenLink read from "Port": what RetryLink opens again.
static char PortName[TextSize];

// When the port was last tried (opened, or found gone): RetryLink waits two seconds from
// then. A port that is not there costs one failed open every two seconds, nothing more.
using Clock = std::chrono::steady_clock;
static Clock::time_point LastTry;
static const Clock::duration RetryPeriod = std::chrono::seconds(2);

// The "Rate" the last open applied (0 or less when it was no rate): LinkRunLength's measure.
static int LineRate;

// What the port gave in its last read and LinkReadByte has not handed out yet: ReadAhead from
// ReadAheadNext up to ReadAheadEnd. Only ever bytes of the port open now: closing the port,
// or finding it gone, forgets them. A switch of the timeout mode keeps them: they are bytes
// the Z88 sent, such as the start of a frame that came right behind the last one.
enum { ReadAheadSize = 256 };
static unsigned char ReadAhead[ReadAheadSize];
static int ReadAheadNext, ReadAheadEnd;

static void ForgetReadAhead(void)
{
    ReadAheadNext = ReadAheadEnd = 0;
}

void CloseLink(void)
{
    if (PortIsOpen())
        ClosePort();
    ForgetReadAhead();
    LinkHandle = 0;
}

// Opens PortName and, when it opened, sets the line from "Rate" and "Xon" and reads
// "Directory"; the other settings are not read when the port is not there. Non-zero when
// it opened.
static int OpenNamedPort(void)
{
    LastTry = Clock::now();
    LinkHandle = OpenPort(PortName);
    if (LinkHandle == LinkOpenFailed)
        return 0;
    char text[TextSize];
    LineRate = ReadSetting(SettingRate, text);
    int xon = ReadSetting(SettingXon, text) != 0;
    ConfigureLine(LineRate, xon);
    ReadSetting(SettingDirectory, StoreDirectory);
    return 1;
}

void OpenLink(void)
{
    CloseLink();
    ReadSetting(SettingPort, PortName);
    if (!OpenNamedPort())
        ShowConnectFailure(PortFailureText());
}

int RetryLink(void)
{
    // Never opened (or closed at the end of the run): there is no port to go back to.
    if (LinkHandle == LinkOpenFailed && Clock::now() - LastTry >= RetryPeriod)
        OpenNamedPort();
    return PortIsOpen();
}

int LinkIsOpen(void)
{
    return PortIsOpen();
}

// A port found gone is closed at once: a handle held on an unplugged USB adapter keeps its
// device taken, so that the adapter plugged in again would come back under another name
// (ttyUSB1 for ttyUSB0, COM4 for COM3) and the name the link tries again would stay dead.
// What it gave and was not handed out yet goes with it.
static void CloseIfGone(int outcome)
{
    if (outcome == PortGone) {
        ClosePort();
        ForgetReadAhead();
        LinkHandle = LinkOpenFailed;
        LastTry = Clock::now();
    }
}

// Takes in what the port has (waiting as the mode says when nothing has come yet); the
// port's outcome.
static int FillReadAhead(void)
{
    if (!PortIsOpen())
        return PortIdle;
    int count = 0;
    int outcome = ReadPortBytes(ReadAhead, ReadAheadSize, &count);
    CloseIfGone(outcome);
    if (outcome == PortMoved) {
        ReadAheadNext = 0;
        ReadAheadEnd = count;
    }
    return outcome;
}

int LinkReadByte(int* value)
{
    *value = 0;
    int outcome = ReadAheadNext < ReadAheadEnd ? PortMoved : FillReadAhead();
    if (outcome == PortMoved)
        *value = ReadAhead[ReadAheadNext++];
    int ok = outcome == PortMoved;
    // Asked after every read, also a failed one: a held Esc ends the transfer either way.
    if (EscapeHeld())
        ok = 0;
    return ok;
}

int LinkRunLength(void)
{
    int length = LineRate / 500;
    return length < 1 ? 1 : length > LinkRunMax ? LinkRunMax : length;
}

int LinkWriteBytes(const unsigned char* bytes, int count, int* written)
{
    SetLinkTimeouts(TransferMode);
    *written = 0;
    int outcome = PortIsOpen() ? PortMoved : PortIdle;
    while (outcome == PortMoved && *written < count) {
        int moved = 0;
        outcome = WritePortBytes(bytes + *written, count - *written, &moved);
        CloseIfGone(outcome);
        if (outcome == PortMoved)
            *written += moved;
    }
    int ok = outcome == PortMoved;
    // Asked once the run is over, also a failed one: the bytes written have gone all the same.
    if (EscapeHeld())
        ok = 0;
    return ok;
}

int LinkWriteByte(int value)
{
    unsigned char byte = (unsigned char)(value & 0xFF);
    int written = 0;
    return LinkWriteBytes(&byte, 1, &written);
}
