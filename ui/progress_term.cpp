// Terminal implementation of the progress window, for tarnwell-cli: while a file moves, one
// line on the terminal with the transfer's title, the bytes so far and the bytes per second,
// redrawn a few times a second. When standard output is no terminal (a pipe, a file), no
// progress is shown; the file's outcome is said in one line either way.
#include "ui/progress.h"

#include "ui/transfer_log.h"

#include "base/text.h"
#include "base/clock.h"
#include "ui/terminal.h"

#include <stdio.h>

// Redrawing once per byte would cost more than the byte; a person reads no faster than this.
enum { RedrawMs = 250 };

// The transfer the session named, its title, and what has become of it.
static TransferDirection Direction;
static char Name[TextSize];
static char Title[ProgressTitleSize];
static int Open = 0;            // between ShowProgress and CloseProgress
static int LineStands = 0;      // a progress line is on the terminal, not yet finished
static int Whole = 0;           // SignalSuccess came
static int ByteCount = 0;       // the last count StepProgress was given
static long long StartedMs = 0;
static long long DrawnMs = 0;
static int Begun = 0;
static int FailureSaid = 0;     // AddFailureEntry said why the transfer failed

int TransfersBegun(void)
{
    return Begun;
}

// Draws the line afresh over the one before.
static void DrawLine(void)
{
    long long elapsed = ClockMs() - StartedMs;
    char line[256];
    int length = snprintf(line, sizeof line, "%s: %d bytes", Title, ByteCount);
    // A rate only once bytes have moved: at the start it would say "0 bytes/s" or nothing,
    // as the clock happened to tick.
    if (ByteCount > 0 && elapsed > 0 && length >= 0 && length < (int)sizeof line)
        snprintf(line + length, sizeof line - length, ", %lld bytes/s", ByteCount * 1000LL / elapsed);
    RedrawTerminalLine(line);
    fflush(stdout);
    DrawnMs = ClockMs();
}

void ShowProgress(WindowHandle, TransferDirection direction, const char* name)
{
    CloseProgress();
    Direction = direction;
    snprintf(Name, sizeof Name, "%s", name);
    ProgressTitle(Title, sizeof Title, direction, name);
    Open = 1;
    Whole = 0;
    FailureSaid = 0;
    ByteCount = 0;
    StartedMs = ClockMs();
    Begun++;
    LineStands = OutputIsTerminal();
    if (LineStands)
        DrawLine();
}

void StepProgress(int count)
{
    ByteCount = count;
    if (LineStands && ClockMs() - DrawnMs >= RedrawMs)
        DrawLine();
}

void EndProgressLine(void)
{
    if (!LineStands)
        return;
    DrawLine();
    printf("\n");
    fflush(stdout);
    LineStands = 0;
}

// The past tense of the transfer, as its outcome line says it.
static const char* Done(void)
{
    return Direction == TransferDirection::Receiving ? "received" : "sent";
}

void ReportTransferWhole(void)
{
    if (!Open)
        return;
    EndProgressLine();
    Whole = 1;
    printf("%s - %s.\n", Name, Done());
    fflush(stdout);
}

void CloseProgress(void)
{
    if (!Open)
        return;
    EndProgressLine();
    if (!Whole && !FailureSaid)
        fprintf(stderr, "%s - not %s whole.\n", Name, Done());
    Open = 0;
}

// The terminal's failure line (transfer_log.h): on standard error, where CloseProgress would
// otherwise say only that the file did not go whole.
void AddFailureEntry(WindowHandle, const char* line)
{
    EndProgressLine();
    fprintf(stderr, "%s\n", line);
    FailureSaid = 1;
}
