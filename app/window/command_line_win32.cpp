// The Windows program's command line (see command_line.h).
#include "app/window/command_line.h"

#include <windows.h>

std::vector<std::string> FilesOnCommandLine(int argc, char** argv)
{
    std::vector<std::string> files;
    // Full paths: a running program that is handed them has a working folder of its own.
    for (int i = 1; i < argc; i++) {
        DWORD length = GetFullPathNameA(argv[i], 0, NULL, NULL);
        std::vector<char> full(length + 1, '\0');
        if (length && GetFullPathNameA(argv[i], length + 1, full.data(), NULL) <= length)
            files.push_back(full.data());
        else
            files.push_back(argv[i]);  // refused by the send session, which says why
    }
    return files;
}
