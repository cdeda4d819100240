// The whole-program helpers that are the same on both platforms (see program.h).
#include "tests/support/program.h"

#include "tests/support/host_tool.h"
#include "tests/support/wait.h"

#include <ctype.h>

bool StartProgram()
{
    return StartProgramAt(TARNWELL_PROGRAM, {});
}

bool FindMainWindow(ProgramWindow* window)
{
    return LocateWindow(nullptr, window);
}

bool WaitForMainWindow(int timeoutMs, ProgramWindow* window)
{
    return WaitUntil([&] { return FindMainWindow(window); }, timeoutMs);
}

bool WaitForOtherWindow(const char* title, int timeoutMs, ProgramWindow* window)
{
    ProgramWindow found;
    return WaitUntil([&] { return LocateWindow(title, window ? window : &found); }, timeoutMs);
}

bool WaitForOtherWindowGone(const char* title, int timeoutMs)
{
    return WaitUntil([&] { return !WaitForOtherWindow(title, 0); }, timeoutMs, 100);
}

static std::vector<std::string> Middle(const ScreenArea& area)
{
    return {std::to_string(area.x + area.width / 2), std::to_string(area.y + area.height / 2)};
}

int PointAt(const ScreenArea& area)
{
    std::vector<std::string> command = Middle(area);
    command.insert(command.begin(), {"xdotool", "mousemove"});
    return RunHostTool(command);
}

int DropOn(const ScreenArea& area, const std::vector<std::string>& paths)
{
    std::vector<std::string> command = Middle(area);
    command.insert(command.begin(), TARNWELL_XDND_DROP);
    command.insert(command.end(), paths.begin(), paths.end());
    return RunHostTool(command);
}

bool DisplayShowsWindow(const std::string& title)
{
    // xdotool takes a regular expression: every character that is not a letter or a digit
    // stands for itself as '.', which matches it.
    std::string pattern = "^";
    for (char c : title)
        pattern += isalnum((unsigned char)c) ? c : '.';
    pattern += "$";
    return RunHostTool({"xdotool", "search", "--onlyvisible", "--name", pattern}) == 0;
}

bool WindowShows(const char* title, const char* line, unsigned paper, const Screenshot& shot)
{
    ProgramWindow window;
    Picture drawn;
    if (!LocateWindow(title, &window) || !DrawLikeTheProgram(line, paper, &drawn))
        return false;
    auto at = [&](int x, int y) { return drawn.pixels[(size_t)y * drawn.width + x]; };
    // The ink's bounding box in the drawing is looked for in the window.
    int left = drawn.width, right = -1, top = drawn.height, bottom = -1;
    for (int y = 0; y < drawn.height; y++)
        for (int x = 0; x < drawn.width; x++)
            if (at(x, y) != paper) {
                left = x < left ? x : left;
                right = x > right ? x : right;
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
    if (right < 0)
        return false;
    // The ink must be there and the paper around it, all but a few pixels: the log's list may
    // draw its focus rectangle, dotted and inverting, through a line's ink box (Windows).
    const ScreenArea& area = window.client;
    const int width = right - left + 1, height = bottom - top + 1;
    int ink = 0;
    for (int dy = 0; dy < height; dy++)
        for (int dx = 0; dx < width; dx++)
            ink += at(left + dx, top + dy) != paper;
    const int clear = width * height - ink;
    for (int y = area.y; y + height <= area.y + area.height; y++)
        for (int x = area.x; x + width <= area.x + area.width; x++) {
            int inkDiffers = 0, paperDiffers = 0;
            for (int dy = 0; dy < height && inkDiffers * 20 <= ink; dy++)
                for (int dx = 0; dx < width; dx++) {
                    unsigned want = at(left + dx, top + dy);
                    if (shot.Pixel(x + dx, y + dy) != want)
                        (want != paper ? inkDiffers : paperDiffers)++;
                }
            if (inkDiffers * 20 <= ink && paperDiffers * 10 <= clear)
                return true;
        }
    return false;
}
