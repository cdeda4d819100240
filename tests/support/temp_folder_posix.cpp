// Linux side of the tests' temporary folders.
#include "tests/support/temp_folder.h"

#include <stdlib.h>
#include <sys/stat.h>


std::string NewTestFolder()
{
    char folder[] = "/tmp/tarnwell-test-XXXXXX";
    if (!mkdtemp(folder))
        return "/nonexistent/";
    return std::string(folder) + "/";
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
