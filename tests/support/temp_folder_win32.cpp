// Windows side of the tests' temporary folders.
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <string>

static std::string Replaced(std::string path, char from, char to)
{
    std::replace(path.begin(), path.end(), from, to);
    return path;
}

// The folder the program's own goes in, ending with a separator: the host's $TMPDIR, which
// Wine passes on, through drive Z: (the host's root); else the Windows temporary folder.
static std::string TemporaryBase()
{
    char base[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TMPDIR", base, sizeof base);
    if (length > 0 && length < sizeof base && base[0] == '/') {
        std::string folder = ProgramPath(base);
        return folder.back() == '\\' ? folder : folder + "\\";
    }
    length = GetTempPathA(sizeof base, base);
    return length > 0 && length < sizeof base ? std::string(base) : std::string();
}

std::string MakeProgramFolder()
{
    std::string base = TemporaryBase();
    if (base.empty())
        return "";
    for (unsigned attempt = GetTickCount();; attempt++) {
        std::string folder = base + "tarnwell-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(attempt % 1000000);
        if (CreateDirectoryA(folder.c_str(), NULL))
            return folder + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return "";
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

std::string NewHostFolder()
{
    // A test folder of this program's own (removed with it at exit), as the host names it:
    // its Windows path lies on drive Z:, the host's root.
    std::string folder = NewTestFolder();
    if (folder.size() < 2 || folder.compare(0, 2, "Z:") != 0)
        return "/nonexistent/";
    return Replaced(folder.substr(2), '\\', '/');
}

std::string ProgramPath(const std::string& hostPath)
{
    return Replaced("Z:" + hostPath, '/', '\\');  // Wine's drive Z: is the host's root
}
