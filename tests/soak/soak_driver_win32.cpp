// The soak driver on Windows: a window over the whole screen (Wine reports a held key only
// while the pointer is over one of the program's windows) and a one-second timer.
//   soak_driver.exe FOLDER
#include "link/serial_link.h"
#include "tests/soak/soak_driver.h"
#include "ui/app_instance.h"

#include <windows.h>

static const char* Folder;

static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        if (!SoakTick(window, Folder))
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    Folder = argv[1];
    AppInstance = GetModuleHandleA(NULL);
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = AppInstance;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = "TarnwellSoak";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "TarnwellSoak", "Tarnwell soak", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                                  AppInstance, NULL);
    OpenLink();
    SetTimer(window, 1, 1000, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseLink();
    DestroyWindow(window);
    return 0;
}
