// Screenshots of the test display (ImageMagick's import of the X root window), read back
// so that tests check the pixels a person sees.
#ifndef TARNWELL_TEST_SCREEN_H
#define TARNWELL_TEST_SCREEN_H

#include <string>
#include <vector>

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // three bytes a pixel, rows from the top

    // 0xRRGGBB; 0xFF000000 outside the picture.
    unsigned Pixel(int x, int y) const;
};

// Takes a screenshot of the whole display. With keepAs, it is also kept as a PNG named
// keepAs in the screenshots folder of the build tree, whose path is printed. Non-zero on
// success.
int TakeScreenshot(Screenshot* shot, const char* keepAs = nullptr);

#endif
