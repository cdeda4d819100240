// The serial link's logic, the same on both platforms: the order in which a port is opened
// and configured from the settings, the Esc test after every byte, and the port that went
// away, closed at once and tried again. The port itself is serial_port.h.
#include "link/serial_link.h"

#include "link/failure.h"
#include "link/serial_port.h"
#include "settings/settings.h"
#include "ui/alerts.h"

#include <stdio.h>

#include <chrono>
#include <thread>

LinkPort LinkHandle = 0;
char StoreDirectory[TextSize];

// The port the last OpenLink read from "Port": what RetryLink opens again.
static char PortName[TextSize];
// The rate that port was set to when it last opened.
static int PortRate;

// When the port was last tried (opened, or found gone): RetryLink waits two seconds from
// then. A port that is not there costs one failed open every two seconds, nothing more.
using Clock = std::chrono::steady_clock;
static Clock::time_point LastTry;
static const Clock::duration RetryPeriod = std::chrono::seconds(2);

void CloseLink(void)
{
    if (PortIsOpen())
        ClosePort();
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
    int rate = ReadSetting(SettingRate, text);
    int xon = ReadSetting(SettingXon, text) != 0;
    ConfigureLine(rate, xon);
    PortRate = rate;
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

// What a read or a write did, as a truth result, with the reason of a failure noted; `idle`
// words a read or a write that moved nothing in its time. A port that has gone away is
// closed at once: a handle held on an unplugged USB adapter keeps its device taken, so that
// the adapter plugged in again would come back under another name (ttyUSB1 for ttyUSB0,
// COM4 for COM3) and the name the link tries again would stay dead.
enum { NoPort = -2 };  // beside PortGone, PortIdle and PortMoved: there was no port to ask
static int Moved(int outcome, const char* idle)
{
    if (outcome == NoPort)
        return NoteFailure("there is no serial port");
    if (outcome == PortGone) {
        ClosePort();
        LinkHandle = LinkOpenFailed;
        LastTry = Clock::now();
        return NoteFailure("the serial port went away");
    }
    if (outcome == PortIdle)
        return NoteFailure("%s", idle);
    return 1;
}

// The truth result of a read or a write. Esc is asked after every one, also a failed one:
// a held Esc ends the transfer either way, and is then its reason (a read that waited in
// vain while the key was held failed for the key).
static int Finish(int outcome, const char* idle)
{
    int escape = EscapeHeld();
    if (escape)
        NoteFailure("stopped by the user");
    return Moved(outcome, idle) && !escape;
}

int LinkReadByte(int* value)
{
    *value = 0;
    return Finish(PortIsOpen() ? ReadPortByte(value) : NoPort, "the line went quiet for a second");
}

// A write, or the output queue, that moved nothing for two seconds.
static const char HeldLine[] = "the Z88 held the line (XOFF) for over two seconds";

int LinkWriteByte(int value)
{
    SetLinkTimeouts(TransferMode);
    return Finish(PortIsOpen() ? WritePortByte((unsigned char)(value & 0xFF)) : NoPort,
                  HeldLine);
}

void DescribeLink(char* text)
{
    if (PortIsOpen())
        snprintf(text, TextSize, "%.100s, %d baud", PortName, PortRate);
    else if (PortName[0])
        snprintf(text, TextSize, "No port: %.100s", PortName);
    else
        snprintf(text, TextSize, "No port");
}

int LinkDrainOutput(void)
{
    // The queue is looked at every 10 ms: at 9600 baud about ten bytes leave in that time.
    const Clock::duration step = std::chrono::milliseconds(10);
    const Clock::duration patience = std::chrono::milliseconds(2000);
    int left = -1;
    Clock::time_point deadline;
    for (;;) {
        if (!PortIsOpen())
            return Moved(NoPort, "");
        int queued = PortOutputQueued();
        if (queued == PortGone)
            return Moved(PortGone, "");
        if (queued == 0)
            return 1;
        if (EscapeHeld())
            return NoteFailure("stopped by the user");
        if (left < 0 || queued < left) {
            left = queued;
            deadline = Clock::now() + patience;
        } else if (Clock::now() >= deadline) {
            return NoteFailure("%s", HeldLine);
        }
        std::this_thread::sleep_for(step);
    }
}
