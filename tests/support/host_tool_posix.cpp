// Linux side of RunHostTool: a child process (process.h), waited for.
#include "tests/support/host_tool.h"

#include "tests/support/process.h"

int RunHostTool(const std::vector<std::string>& arguments)
{
    // Nothing of the caller's is flushed first: X requests a status window left unsent stay
    // unseen, as they would during a transfer.
    ChildProcess child;
    if (arguments.empty() || !StartChild(&child, arguments[0], {arguments.begin() + 1, arguments.end()}))
        return -1;
    int status = WaitForChild(&child, -1);
    return status < 256 ? status : -1;
}
