// Windows implementation of the alerts: the Esc key straight from the keyboard state, the
// connect-failure message box and the default system sound.
#include "ui/alerts.h"

#include <windows.h>

// How long an answer about the Esc key is used before the system is asked again: 1/200 s.
// Once the program has windows, Wine answers each question with a round trip to its server;
// asked after every byte, that would cap a transfer far below the speed of the line. A
// person holding Esc holds it much longer than this.
static const LONGLONG EscapeAnswersPerSecond = 200;

int EscapeHeld(void)
{
    static LARGE_INTEGER frequency;
    static LARGE_INTEGER askedAt;
    static int asked = 0;
    static int held = 0;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (asked && now.QuadPart - askedAt.QuadPart < frequency.QuadPart / EscapeAnswersPerSecond)
        return held;
    // The top bit is the key's state at this moment, whoever has the focus and whether or
    // not messages are being processed.
    held = (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
    asked = 1;
    askedAt = now;
    return held;
}

void ShowConnectFailure(const char*)
{
    MessageBoxA(GetActiveWindow(), "Can't connect to Serial Port", "Tarnwell", MB_ICONERROR);
}

void SignalSuccess(void)
{
    MessageBeep(0);
}
