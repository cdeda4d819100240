// Screenshots of the test display (see screen.h): import writes a binary PPM, read here.
#include "tests/support/screen.h"

#include "tests/support/desktop.h"
#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <stdio.h>
#include <string.h>

#include <chrono>
#include <string>

unsigned Screenshot::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFF000000u;
    const unsigned char* p = &rgb[(size_t(y) * width + x) * 3];
    return unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2];
}

// Reads the whitespace-separated header numbers of a P6 file.
static int ReadNumber(FILE* file, int* value)
{
    int c = fgetc(file);
    while (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '#') {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = fgetc(file);
        c = fgetc(file);
    }
    if (c < '0' || c > '9')
        return 0;
    *value = 0;
    while (c >= '0' && c <= '9') {
        *value = *value * 10 + (c - '0');
        c = fgetc(file);
    }
    return 1;  // the one whitespace byte after the number is consumed
}

static int ReadPpm(const std::string& path, Screenshot* shot)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    char magic[2] = {0, 0};
    int maxValue = 0;
    int ok = fread(magic, 1, 2, file) == 2 && memcmp(magic, "P6", 2) == 0 &&
             ReadNumber(file, &shot->width) && ReadNumber(file, &shot->height) &&
             ReadNumber(file, &maxValue) && maxValue == 255;
    if (ok) {
        shot->rgb.resize(size_t(shot->width) * shot->height * 3);
        ok = fread(shot->rgb.data(), 1, shot->rgb.size(), file) == shot->rgb.size();
    }
    fclose(file);
    return ok;
}

int TakeScreenshot(Screenshot* shot, const char* keepAs)
{
    const std::string folder = TARNWELL_SCREENSHOT_DIR;
    // Test programs run side by side: each screenshot gets a file of its own.
    const std::string raw = folder + "/shot-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".ppm";
    if (RunHostTool({"mkdir", "-p", folder}) != 0)
        return 0;
    if (RunHostTool({"import", "-window", "root", "-depth", "8", raw}) != 0)
        return 0;
    if (keepAs) {
        const std::string kept = folder + "/" + keepAs;
        if (RunHostTool({"convert", raw, kept}) != 0)
            return 0;
        printf("screenshot kept: %s\n", kept.c_str());
    }
    int ok = ReadPpm(ProgramPath(raw), shot);
    RunHostTool({"rm", "-f", raw});
    return ok;
}
