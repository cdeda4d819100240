// Screenshots of the test display (see screen.h): import writes a binary PPM, read here.
#include "tests/support/screen.h"

#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <ctype.h>
#include <stdio.h>

#include <chrono>
#include <string>

unsigned Screenshot::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xFF000000u;
    const unsigned char* p = &rgb[(size_t(y) * width + x) * 3];
    return unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2];
}

// The header as import writes it, without comments: "P6", width, height, 255, and one
// blank before the pixels.
static int ReadPpm(const std::string& path, Screenshot* shot)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    int maxValue = 0;
    int ok = fscanf(file, "P6 %d %d %d", &shot->width, &shot->height, &maxValue) == 3 &&
             maxValue == 255 && isspace(fgetc(file));
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
