// The serial link's logic, the same on both platforms: the order in which a port is opened
// and configured from the settings, the bytes read ahead and handed out one by one, runs of
// writes, the Esc test after every byte read and every run written, and the port that went
// away, closed at once and tried again. The port itself is serial_port.h.
#include "link/serial_link.h"

#include "base/clock.h"
#include "base/failure.h"
#include "link/serial_port.h"
#include "settings/settings.h"
#include "ui/alerts.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

LinkPort LinkHandle = 0;

// The port the last OpenLinkPort read from "Port": what RetryLinkPort opens again.
static char PortName[TextSize];

// When the port was last tried (opened, or found gone): RetryLinkPort waits two seconds from
// then. A port that is not there costs one failed open every two seconds, nothing more.
static long long LastTryMs;
enum { RetryPeriodMs = 2000 };

// The rate the line was last set to (0 before any port took one): LinkRunLength's measure,
// and what the main window shows.
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

// The port's line-error counts when the line was last quiet: every byte that had come by
// then had been read, so an error counted since lies in what came after. A reception reads
// them again at its end; taken when it begins instead, they would miss the errors in the
// up to a second of its bytes that had come before the poll tick found its start.
static LineErrorCounts QuietErrors;

static void NoteQuietLine(void)
{
    CountLineErrors(&QuietErrors);
}

void CloseLink(void)
{
    if (PortIsOpen())
        ClosePort();
    ForgetReadAhead();
    LinkHandle = 0;
}

// Non-zero when the port can be set to `rate` baud.
static int LinkRateAllowed(int rate)
{
    for (int i = 0; LinkRateAt(i); i++) {
        if (LinkRateAt(i) == rate)
            return 1;
    }
    return 0;
}

// Opens PortName and, when it opened, sets the line from "Rate" and "Xon"; they are not read
// when the port is not there. Non-zero when it opened.
static int OpenNamedPort(void)
{
    LastTryMs = ClockMs();
    LinkHandle = OpenPort(PortName);
    if (LinkHandle == LinkOpenFailed)
        return 0;
    char text[TextSize];
    int rate = ReadSetting(SettingRate, text);
    int xon = ReadSetting(SettingXon, text) != 0;
    ConfigureLine(rate, xon);
    // A rate the line cannot take leaves it at the one it had: the window's "baud" and the
    // run length go by that, not by the refused number.
    if (LinkRateAllowed(rate))
        LineRate = rate;
    NoteQuietLine();
    return 1;
}

void OpenLinkPort(void)
{
    CloseLink();
    ReadSetting(SettingPort, PortName);
    if (!OpenNamedPort())
        ShowConnectFailure(PortFailureText());
}

int RetryLinkPort(void)
{
    // Never opened (or closed at the end of the run): there is no port to go back to.
    if (LinkHandle == LinkOpenFailed && ClockMs() - LastTryMs >= RetryPeriodMs)
        OpenNamedPort();
    return PortIsOpen();
}

int LinkIsOpen(void)
{
    return PortIsOpen();
}

// beside PortGone, PortIdle and PortMoved: there was no port to ask
enum { NoPort = -2 };

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
        LastTryMs = ClockMs();
    }
}

// The truth result of a read, a run written or a wait, with the reason of a failure noted;
// `idle` words one that moved nothing in its time. Esc is asked after every one, also a
// failed one: a held Esc ends the transfer either way, and is then its reason (a read that
// waited in vain while the key was held failed for the key).
static int Finish(int outcome, const char* idle)
{
    int escape = EscapeHeld();
    if (escape)
        NoteFailure("stopped by the user");
    if (outcome == NoPort)
        return NoteFailure("there is no serial port");
    if (outcome == PortGone)
        return NoteFailure("the serial port went away");
    if (outcome == PortIdle)
        return NoteFailure("%s", idle);
    return !escape;
}

// Takes in what the port has (waiting as the mode says when nothing has come yet); the
// port's outcome.
static int FillReadAhead(void)
{
    if (!PortIsOpen())
        return NoPort;
    int count = 0;
    int outcome = ReadPortBytes(ReadAhead, ReadAheadSize, &count);
    CloseIfGone(outcome);
    if (outcome == PortMoved) {
        ReadAheadNext = 0;
        ReadAheadEnd = count;
    } else if (outcome == PortIdle) {
        NoteQuietLine();
    }
    return outcome;
}

int LinkReadByte(int* value)
{
    *value = 0;
    int outcome = ReadAheadNext < ReadAheadEnd ? PortMoved : FillReadAhead();
    if (outcome == PortMoved)
        *value = ReadAhead[ReadAheadNext++];
    return Finish(outcome, "the line went quiet for a second");
}

const char* LineErrorKind(const LineErrorCounts* before, const LineErrorCounts* after)
{
    // Any change counts: a count that went down was reset, and what reset it is no witness
    // that the bytes came whole.
    if (after->frame != before->frame)
        return "framing error";
    if (after->overrun != before->overrun)
        return "overrun";
    if (after->parity != before->parity)
        return "parity error";
    if (after->brk != before->brk)
        return "break";
    return nullptr;
}

int LinkReadClean(void)
{
    if (!PortIsOpen())
        return 1;
    LineErrorCounts now;
    CountLineErrors(&now);
    const char* kind = LineErrorKind(&QuietErrors, &now);
    // Bytes that came after what was read may be the ones that brought the errors: then
    // they stay counted, and fail the next reception as well.
    if (ReadAheadNext == ReadAheadEnd && !PortInputWaiting())
        QuietErrors = now;
    if (kind)
        return NoteFailure("the line garbled the data (%s)", kind);
    return 1;
}

int LinkRunLength(void)
{
    int length = LineRate / 500;
    return length < 1 ? 1 : length > LinkRunMax ? LinkRunMax : length;
}

// A run, or the output queue, that moved nothing for two seconds.
static const char HeldLine[] = "the Z88 held the line (XOFF) for over two seconds";

int LinkWriteBytes(const unsigned char* bytes, int count, int* written)
{
    SetLinkTimeouts(TransferMode);
    *written = 0;
    int outcome = PortIsOpen() ? (int)PortMoved : (int)NoPort;
    while (outcome == PortMoved && *written < count) {
        int moved = 0;
        outcome = WritePortBytes(bytes + *written, count - *written, &moved);
        CloseIfGone(outcome);
        if (outcome == PortMoved)
            *written += moved;
    }
    // Esc is asked once the run is over, also a failed one: the bytes written have gone all
    // the same.
    return Finish(outcome, HeldLine);
}

int LinkWriteByte(int value)
{
    unsigned char byte = (unsigned char)(value & 0xFF);
    int written = 0;
    return LinkWriteBytes(&byte, 1, &written);
}

void DescribeLink(char* text)
{
    if (PortIsOpen())
        snprintf(text, TextSize, "%.100s, %d baud", PortName, LineRate);
    else if (PortName[0])
        snprintf(text, TextSize, "No port: %.100s", PortName);
    else
        snprintf(text, TextSize, "No port");
}

// "75, 300 and 600".
static std::string Listed(const std::vector<int>& rates)
{
    std::string words;
    for (size_t i = 0; i < rates.size(); i++)
        words += (i == 0 ? "" : i + 1 == rates.size() ? " and " : ", ") + std::to_string(rates[i]);
    return words;
}

// The rates the port takes, in words, into `text` (`size` bytes; 512 hold them all): first
// the Z88's own, then the others, in lines of at most 72 characters.
static void DescribeLinkRates(char* text, int size)
{
    // What the Z88's Panel offers, the rates a user is looking for.
    static const int z88Rates[] = {75, 300, 600, 1200, 2400, 9600, 19200, 38400};
    std::vector<int> z88, others;
    for (int i = 0; LinkRateAt(i); i++) {
        int rate = LinkRateAt(i);
        bool own = std::find(std::begin(z88Rates), std::end(z88Rates), rate) != std::end(z88Rates);
        (own ? z88 : others).push_back(rate);
    }
    std::string words = "It takes " + (z88.empty() ? "" : "the Z88's rates, " + Listed(z88)) +
                        (z88.empty() || others.empty() ? "" : ", and also ") + Listed(others) + ".";
    // Broken into lines between words: a message box and a terminal show them as they are.
    std::string lines, line;
    size_t start = 0;
    while (start < words.size()) {
        size_t end = words.find(' ', start);
        std::string word = words.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? words.size() : end + 1;
        if (!line.empty() && line.size() + 1 + word.size() > 72) {
            lines += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    snprintf(text, size, "%s", (lines + line).c_str());
}

int CheckLinkRate(const char* rate, char* problem, int size)
{
    // Up to nine digits, so that the number cannot overflow an int.
    size_t length = strlen(rate);
    if (length > 0 && length < 10 && strspn(rate, "0123456789") == length && LinkRateAllowed(atoi(rate)))
        return 1;
    char rates[512];
    DescribeLinkRates(rates, sizeof rates);
    snprintf(problem, size, "the rate '%.127s' is not one the serial port can be set to.\n%s", rate, rates);
    return 0;
}

int LinkDrainOutput(void)
{
    // The queue is looked at every 10 ms: at 9600 baud about ten bytes leave in that time.
    const std::chrono::milliseconds step(10);
    const long long patienceMs = 2000;
    int left = -1;
    long long deadline = 0;
    for (;;) {
        if (!PortIsOpen())
            return Finish(NoPort, "");
        int queued = PortOutputQueued();
        if (queued == PortGone) {
            CloseIfGone(queued);
            return Finish(PortGone, "");
        }
        if (queued == 0)
            return 1;
        if (EscapeHeld())
            return NoteFailure("stopped by the user");
        if (left < 0 || queued < left) {
            left = queued;
            deadline = ClockMs() + patienceMs;
        } else if (ClockMs() >= deadline) {
            return NoteFailure("%s", HeldLine);
        }
        std::this_thread::sleep_for(step);
    }
}
