// Linux side of RunHostTool: posix_spawnp, then a wait for the child.
#include "tests/support/host_tool.h"

#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

int RunHostTool(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // Nothing of the caller's is flushed first: X requests a status window left unsent stay
    // unseen, as they would during a transfer.
    pid_t child;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
