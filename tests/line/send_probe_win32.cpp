// Windows side of the send tests' platform help. The C runtime gives a new stream the
// lowest free descriptor, so the one the program will read through is known beforehand;
// it is checked by the identity of its file before it is touched.
#include "tests/line/send_probe.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

static std::string ExpectedPath;
static int ExpectedDescriptor = -1;
static BY_HANDLE_FILE_INFORMATION ExpectedFile;

static bool Identify(HANDLE file, BY_HANDLE_FILE_INFORMATION* info)
{
    return file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, info);
}

std::vector<std::string> NonFilePaths(const std::string&)
{
    // Devices answer to these names in every folder, with any extension; "NUL" has file
    // attributes like a file and opens like one.
    return {"NUL", "nul.txt"};
}

std::string FileThatFailsToRead()
{
    // Linux's /proc/self/mem, under Wine, which shows the Linux root as drive Z:.
    const char* path = "Z:\\proc\\self\\mem";
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES ? "" : path;
}

void ExpectOpening(const std::string& path)
{
    ExpectedPath = path;
    ExpectedDescriptor = -1;
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    bool known = Identify(file, &ExpectedFile);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    int lowest = _open("NUL", _O_RDONLY);
    if (lowest >= 0)
        _close(lowest);
    if (known)
        ExpectedDescriptor = lowest;
}

bool BreakOpenFile()
{
    if (ExpectedDescriptor < 0)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!Identify((HANDLE)_get_osfhandle(ExpectedDescriptor), &info) ||
        info.dwVolumeSerialNumber != ExpectedFile.dwVolumeSerialNumber ||
        info.nFileIndexHigh != ExpectedFile.nFileIndexHigh || info.nFileIndexLow != ExpectedFile.nFileIndexLow)
        return false;
    int writeOnly = _open(ExpectedPath.c_str(), _O_WRONLY | _O_BINARY);
    bool swapped = writeOnly >= 0 && _dup2(writeOnly, ExpectedDescriptor) == 0;
    if (writeOnly >= 0)
        _close(writeOnly);
    return swapped;
}
