// Windows side of the program under test, under Wine: soak_driver.exe beside the soak's own
// executable, started with CreateProcess. Its usage is that of the Wine process running it,
// which a command of the host finds by name in /proc.
#include "tests/soak/soak_program.h"

#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <stdio.h>

#include <string>

static PROCESS_INFORMATION Program = {};

bool StartProgram(const std::string& folder)
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, self, sizeof self);
    if (length == 0 || length >= sizeof self)
        return false;
    std::string path(self, length);
    path = path.substr(0, path.rfind('\\') + 1) + "soak_driver.exe";
    // A backslash before the closing quote would escape it: it is doubled.
    std::string line = "\"" + path + "\" \"" + folder + "\\\"";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    return CreateProcessA(path.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &Program) != 0;
}

bool ProgramRunning()
{
    DWORD code = 0;
    return Program.hProcess && GetExitCodeProcess(Program.hProcess, &code) && code == STILL_ACTIVE;
}

ProgramUsage MeasureProgram()
{
    ProgramUsage usage;
    // The answer goes through a file in a test folder of ours, which the host reaches
    // through drive Z:, its root.
    std::string file = NewTestFolder() + "usage";
    std::string output = file.compare(0, 2, "Z:") == 0 ? file.substr(2) : file;
    for (char& c : output)
        if (c == '\\')
            c = '/';
    std::string command =
        "for p in /proc/[0-9]*; do [ \"$(cat $p/comm 2>/dev/null)\" = soak_driver.exe ] && "
        "echo $(ls $p/fd | wc -l) $(awk '/^VmRSS:/ { print $2 }' $p/status) >" +
        output + "; done; true";
    if (RunHostTool({"/bin/sh", "-c", command}) != 0)
        return usage;
    if (FILE* result = fopen(file.c_str(), "rb")) {
        if (fscanf(result, "%ld %ld", &usage.descriptors, &usage.rssKb) != 2)
            usage = ProgramUsage();
        fclose(result);
    }
    DeleteFileA(file.c_str());
    return usage;
}

void StopProgram(const std::string& folder)
{
    if (!Program.hProcess)
        return;
    if (FILE* quit = fopen((folder + "quit").c_str(), "wb"))
        fclose(quit);
    if (WaitForSingleObject(Program.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(Program.hProcess, 1);
    CloseHandle(Program.hThread);
    CloseHandle(Program.hProcess);
    Program = PROCESS_INFORMATION();
}
