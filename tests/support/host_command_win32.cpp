// Windows side of RunHostCommand, under Wine. CreateProcess starts a Linux program named by
// its absolute path, but gives no process handle to wait on; so the command runs in a small
// shell script that leaves its exit status in a file, and that file is waited for. Both
// live in the host's /tmp, which Wine shows as Z:\tmp.
#include "tests/support/host_command.h"

#include <windows.h>

#include <stdio.h>

int RunHostCommand(const char* command, int timeoutMs)
{
    static int runs = 0;
    char name[96];
    snprintf(name, sizeof name, "tarnwell-host-%lu-%d", GetCurrentProcessId(), ++runs);
    char script[128], status[128], unixScript[128], unixStatus[128];
    snprintf(script, sizeof script, "Z:\\tmp\\%s.sh", name);
    snprintf(status, sizeof status, "Z:\\tmp\\%s.status", name);
    snprintf(unixScript, sizeof unixScript, "/tmp/%s.sh", name);
    snprintf(unixStatus, sizeof unixStatus, "/tmp/%s.status", name);

    FILE* file = fopen(script, "wb");
    if (!file)
        return -1;
    fprintf(file, "%s\necho $? >%s.part && mv %s.part %s\n", command, unixStatus, unixStatus, unixStatus);
    fclose(file);

    char line[160];
    snprintf(line, sizeof line, "/bin/sh %s", unixScript);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    int result = -1;
    if (CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        if (process.hThread)
            CloseHandle(process.hThread);
        if (process.hProcess)
            CloseHandle(process.hProcess);
        for (int waited = 0; waited <= timeoutMs; waited += 10) {
            FILE* done = fopen(status, "rb");
            if (done) {
                if (fscanf(done, "%d", &result) != 1)
                    result = -1;
                fclose(done);
                break;
            }
            Sleep(10);
        }
    }
    DeleteFileA(status);
    DeleteFileA(script);
    return result;
}
