// Windows side of RunHostTool, under Wine. CreateProcess starts a Linux program but gives no
// process to wait on; Wine's ntdll has the call that starts one and waits for it (winebrowser
// uses it), and nothing has to pass through files on the way.
#include "tests/support/host_tool.h"

#include <windows.h>

int RunHostTool(const std::vector<std::string>& arguments)
{
    typedef NTSTATUS(CDECL * Spawn)(char* const argv[], int wait);
    static Spawn spawn =
        (Spawn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp");
    if (!spawn || arguments.empty())
        return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return (int)spawn(argv.data(), 1);
}
