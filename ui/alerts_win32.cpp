// Windows implementation of the alerts: the Esc key straight from the keyboard state (the
// answer cache above it is alerts.cpp), the connect-failure message box and the default
// system sound.
#include "ui/alerts.h"

#include "ui/escape_key.h"

#include <windows.h>

#include <stdio.h>

int EscapeDownNow(void)
{
    // The top bit is the key's state at this moment, whoever has the focus and whether or
    // not messages are being processed.
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void ShowConnectFailure(const char* detail)
{
    // The first line stays as it always was; the port, the reason and the ports there are
    // follow it.
    char text[16 * 128];
    snprintf(text, sizeof text, "%s%s%s", ConnectFailureText, detail && *detail ? "\n" : "", detail ? detail : "");
    MessageBoxA(GetActiveWindow(), text, "Tarnwell", MB_ICONERROR);
}

void SignalSuccess(void)
{
    MessageBeep(0);
}
