// Linux side of RunHostCommand: the command line goes to /bin/sh.
#include "tests/support/host_command.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

int RunHostCommand(const char* command, int timeoutMs)
{
    pid_t child;
    const char* argv[] = {"/bin/sh", "-c", command, nullptr};
    if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, (char* const*)argv, environ) != 0)
        return -1;
    for (int waited = 0;; waited += 5) {
        int status;
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0)
            return -1;
        if (waited >= timeoutMs) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        usleep(5000);
    }
}
