// The part of the settings test access that is the same on both platforms.
#include "tests/support/settings_store.h"

#include "tests/support/temp_folder.h"

#include <strings.h>

#include <sstream>
#include <string>
#include <vector>

std::string SettingsStoreText()
{
    std::string text;
    ReadWholeFile(SettingsFilePath(), &text);
    return text;
}

std::vector<std::string> SettingsSectionLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::string whole;
    ReadWholeFile(path, &whole);
    std::istringstream text(whole);
    std::string line;
    bool inside = false;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[')
            inside = strcasecmp(line.c_str(), "[Tarnwell]") == 0;
        else if (inside && !line.empty())
            lines.push_back(line);
    }
    return lines;
}
