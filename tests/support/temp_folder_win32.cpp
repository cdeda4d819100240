// Windows side of the tests' temporary folders.
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <string>

std::string NewTestFolder()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    for (unsigned attempt = GetTickCount();; attempt++) {
        std::string folder = std::string(base) + "tarnwell-test-" + std::to_string(attempt);
        if (CreateDirectoryA(folder.c_str(), NULL))
            return folder + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return "Q:\\nonexistent\\";
    }
}

const char* PathSeparator()
{
    return "\\";
}

bool IsRegularTestFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeTestFolder(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), NULL) != 0;
}
