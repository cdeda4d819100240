// The part of the tests' file helpers that is the same on both platforms.
#include "tests/support/temp_folder.h"

#include <fstream>
#include <sstream>

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
