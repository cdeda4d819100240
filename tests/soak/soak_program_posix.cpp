// Linux side of the program under test: the soak driver beside the soak's own executable,
// spawned with the soak's environment (display, settings folder); /proc tells its usage.
#include "tests/soak/soak_program.h"

#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

extern char** environ;

static pid_t Program = -1;

bool StartProgram(const std::string& folder)
{
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return false;
    std::string path(self, (size_t)length);
    path = path.substr(0, path.rfind('/') + 1) + "soak_driver";
    const char* argv[] = {path.c_str(), folder.c_str(), nullptr};
    return posix_spawn(&Program, path.c_str(), nullptr, nullptr, (char* const*)argv, environ) == 0;
}

bool ProgramRunning()
{
    int status;
    return Program > 0 && waitpid(Program, &status, WNOHANG) == 0;
}

ProgramUsage MeasureProgram()
{
    ProgramUsage usage;
    const std::string proc = "/proc/" + std::to_string((long)Program);
    if (DIR* fds = opendir((proc + "/fd").c_str())) {
        usage.descriptors = 0;
        while (struct dirent* entry = readdir(fds))
            usage.descriptors += entry->d_name[0] != '.';
        closedir(fds);
    }
    std::ifstream status(proc + "/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            status >> usage.rssKb;
            break;
        }
    }
    return usage;
}

void StopProgram(const std::string& folder)
{
    if (Program <= 0)
        return;
    if (FILE* quit = fopen((folder + "quit").c_str(), "wb"))
        fclose(quit);
    for (int waited = 0; waited < 10000 && ProgramRunning(); waited += 50)
        usleep(50000);
    if (ProgramRunning())
        kill(Program, SIGKILL);
    waitpid(Program, nullptr, 0);
    Program = -1;
}
