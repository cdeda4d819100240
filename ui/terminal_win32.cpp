// Windows implementation of the terminal's platform half (terminal.h): Ctrl-C and
// Ctrl-Break through the console's handler, the wait for a deadline or a stop, and the
// console's width.
#include "ui/terminal.h"

#include "base/clock.h"

#include <windows.h>

#include <io.h>
#include <stdio.h>

static volatile LONG Stop = 0;
// Set with Stop, so that a wait between two ticks ends at once.
static HANDLE StopEvent = NULL;

// Runs on a thread of its own that the console starts. Ctrl-C and Ctrl-Break stop a transfer
// as Esc does; closing the console or logging off keep their default (the program ends).
static BOOL WINAPI NoteStop(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    InterlockedExchange(&Stop, 2);  // reported as Linux's SIGINT: status 130
    SetEvent(StopEvent);
    return TRUE;
}

void CatchStopSignals(void)
{
    StopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    SetConsoleCtrlHandler(NoteStop, TRUE);
}

int StopSignal(void)
{
    return (int)Stop;
}

void WaitForStopUntil(long long deadline)
{
    long long left = deadline - ClockMs();
    if (left <= 0 || Stop)
        return;
    if (StopEvent)
        WaitForSingleObject(StopEvent, (DWORD)left);
    else
        Sleep((DWORD)left);
}

int OutputIsTerminal(void)
{
    // A console's handle; _isatty would also say yes for the NUL device.
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

void RedrawTerminalLine(const char* line)
{
    CONSOLE_SCREEN_BUFFER_INFO console;
    int columns = GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &console) && console.dwSize.X > 0
                      ? console.dwSize.X
                      : 80;
    // A console does not take the erase sequence everywhere: the line is padded with spaces
    // to the width instead, which covers what is left of a longer one before it.
    printf("\r%-*.*s", columns - 1, columns - 1, line);
}
