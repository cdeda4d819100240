// Windows implementation of the one program per user and desktop (see single_start.h): the
// running program is found by its main window's class, and a second start hands it its files
// in a WM_COPYDATA message, which the main window answers with TakeFilesHandedOver.
#include "app/window/single_start.h"

#include "base/failure.h"
#include "protocol/drop.h"

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

// WM_COPYDATA's mark on the files another start hands over: the time they must be taken by
// (GetTickCount64), then their full paths, each ended by a '\0'.
static const ULONG_PTR FilesToSendMark = 0x5A383847;  // "Z88G"

// A program already running for this user (on this desktop) has a window of our class: it
// is handed the files to send, or with none brought to the front, out of the taskbar if need
// be, and this start ends. Two programs would fight for one port. What went wrong is said in
// one message box, after the hand-over.
int HandToRunningProgram(const char* const* paths, int count, int waitMs)
{
    HWND running = FindWindowA(MainWindowClass, NULL);
    if (!running)
        return -1;
    if (count == 0) {
        // Nothing here waits for a program that does not answer.
        if (IsIconic(running))
            ShowWindowAsync(running, SW_RESTORE);
        // A window that a dialog of its own disables hands the front to that dialog.
        HWND front = GetLastActivePopup(running);
        SetForegroundWindow(front ? front : running);
        return 0;
    }
    std::string said;
    // The time to take them by comes well before this start stops waiting, so that an answer
    // given in time is here before then.
    ULONGLONG takeBy = GetTickCount64() + waitMs - waitMs / 12;
    std::string text((const char*)&takeBy, sizeof takeBy);
    int sendable = 0;
    for (int i = 0; i < count; i++) {
        if (CanBeSent(paths[i])) {
            text.append(paths[i], strlen(paths[i]) + 1);
            sendable++;
        } else {
            said += std::string(paths[i]) + " - not sent: " + FailureReason + ".\n";
        }
    }
    if (sendable > 0) {
        COPYDATASTRUCT data = {FilesToSendMark, (DWORD)text.size(), (void*)text.data()};
        // The running program answers between transfers; during one it runs no message loop.
        DWORD_PTR taken = 0;
        if (!SendMessageTimeoutA(running, WM_COPYDATA, 0, (LPARAM)&data, SMTO_BLOCK, waitMs, &taken) ||
            taken != (DWORD_PTR)sendable) {
            said += GetTickCount64() > takeBy ? "Tarnwell is busy and did not take the files within " +
                                                    std::to_string(waitMs / 1000) + " seconds: they were not sent."
                                              : "Tarnwell did not take the files: they were not sent.";
            sendable = 0;
        }
    }
    if (!said.empty())
        MessageBoxA(NULL, said.c_str(), "Tarnwell", MB_OK | MB_ICONERROR);
    return sendable == count ? 0 : 1;
}

long TakeFilesHandedOver(const void* copyData)
{
    // Windows delivers the message even after the start has stopped waiting for it (and
    // said that the files were not sent): then it is too late, and nothing is taken.
    const COPYDATASTRUCT* data = (const COPYDATASTRUCT*)copyData;
    ULONGLONG takeBy;
    if (data->dwData != FilesToSendMark || data->cbData < sizeof takeBy)
        return 0;
    memcpy(&takeBy, data->lpData, sizeof takeBy);
    if (GetTickCount64() > takeBy)
        return 0;
    const char* text = (const char*)data->lpData;
    std::vector<const char*> paths;
    for (DWORD at = sizeof takeBy; at < data->cbData;) {
        const char* end = (const char*)memchr(text + at, 0, data->cbData - at);
        if (!end)
            break;
        paths.push_back(text + at);
        at = (DWORD)(end - text) + 1;
    }
    QueueFilesToSend(paths.data(), (int)paths.size());
    return (long)paths.size();
}
