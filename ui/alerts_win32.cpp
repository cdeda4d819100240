// Windows implementation of the alerts: the Esc key straight from the keyboard state, the
// connect-failure message box and the default system sound.
#include "ui/alerts.h"

#include <windows.h>

int EscapeHeld(void)
{
    // The top bit is the key's state at this moment, whoever has the focus and whether or
    // not messages are being processed.
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

void ShowConnectFailure(void)
{
    MessageBoxA(GetActiveWindow(), "Can't connect to Serial Port", "Tarnwell", MB_ICONERROR);
}

void SignalSuccess(void)
{
    MessageBeep(0);
}
