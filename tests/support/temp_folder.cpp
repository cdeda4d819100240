// The part of the tests' file helpers that is the same on both platforms.
#include "tests/support/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

// The program's own folder, made at the first NewTestFolder.
static std::string ProgramFolder;

static void RemoveProgramFolder()
{
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::path(ProgramFolder).parent_path();
    // A test that failed while its current folder was in here must not keep it (Windows
    // removes no folder that is some program's current one).
    std::filesystem::current_path(folder.parent_path(), ignored);
    std::filesystem::remove_all(folder, ignored);
}

std::string NewTestFolder()
{
    static int made = 0;
    if (ProgramFolder.empty() && !(ProgramFolder = MakeProgramFolder()).empty())
        atexit(RemoveProgramFolder);
    // Short names: some tests need room for long names in a path of 127 characters.
    std::string folder = ProgramFolder + std::to_string(++made);
    if (ProgramFolder.empty() || !MakeTestFolder(folder))
        return std::string(PathSeparator()) + "nonexistent" + PathSeparator();
    return folder + PathSeparator();
}

bool ReadWholeFile(const std::string& path, std::string* contents)
{
    if (!IsRegularTestFile(path))
        return false;
    if (contents) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        *contents = text.str();
    }
    return true;
}

void WriteWholeFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}
