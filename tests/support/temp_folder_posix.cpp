// Linux side of the tests' temporary folders.
#include "tests/support/temp_folder.h"

#include <stdlib.h>
#include <sys/stat.h>

std::string MakeProgramFolder()
{
    // $TMPDIR is the folder of the test run when the test command set it.
    const char* base = getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/tarnwell-XXXXXX";
    if (!mkdtemp(&folder[0]))
        return "";
    return folder + "/";
}

const char* PathSeparator()
{
    return "/";
}

bool IsRegularTestFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool MakeTestFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0;
}

std::string NewHostFolder()
{
    return NewTestFolder();  // under $TMPDIR, which the host's tools reach as it is
}

std::string ProgramPath(const std::string& hostPath)
{
    return hostPath;
}
