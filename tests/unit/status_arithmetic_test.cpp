// The status windows' shared arithmetic: the progress bar's steps and layout, dialog units
// to pixels, and the order of the transfer log's lines.
#include "ui/dialog_units.h"
#include "ui/log_order.h"
#include "ui/progress_geometry.h"
#include "ui/screen_dpi.h"

#include <gtest/gtest.h>

TEST(ProgressGeometry, StepsFollowTheTableAndRepeatEvery640Bytes)
{
    // Count at each drawing step, the state it leaves and the bar's share of the track.
    struct Step {
        int count;
        int value;
        int percent;
    };
    const Step table[] = {{64, 10, 20},  {128, 20, 30}, {192, 30, 40}, {256, 40, 50},
                          {320, 50, 60}, {384, 60, 70}, {448, 70, 80}, {512, 80, 90},
                          {576, 90, 100}, {640, 0, 10}, {704, 10, 20}};
    // 1000 wide: a track of 900 from 50, so a tenth is exactly 90 pixels.
    int value = 100;  // as ShowProgress leaves it
    int steps = 0;
    for (int count = 1; count <= 704; count++) {
        if (!ProgressStepDue(count))
            continue;
        ASSERT_LT(steps, 11);
        value = NextProgressValue(value);
        ProgressPicture picture;
        LayoutProgress(1000, 80, value, &picture);
        EXPECT_EQ(count, table[steps].count);
        EXPECT_EQ(value, table[steps].value) << "count " << count;
        EXPECT_EQ(picture.barRight, 50 + 9 * table[steps].percent) << "count " << count;
        steps++;
    }
    EXPECT_EQ(steps, 11);
    EXPECT_FALSE(ProgressStepDue(63));
    EXPECT_FALSE(ProgressStepDue(65));
    EXPECT_TRUE(ProgressStepDue(6400));
}

TEST(ProgressGeometry, WorkedExample300By50)
{
    ProgressPicture picture;
    LayoutProgress(300, 50, 10, &picture);  // step 1
    EXPECT_EQ(picture.width, 300);
    EXPECT_EQ(picture.height, 50);
    EXPECT_EQ(picture.trackLeft, 15);
    EXPECT_EQ(picture.trackTop, 6);
    EXPECT_EQ(picture.trackRight, 285);
    EXPECT_EQ(picture.trackBottom, 44);
    EXPECT_EQ(picture.barRight, 69);
    LayoutProgress(300, 50, 90, &picture);  // step 9: the whole track
    EXPECT_EQ(picture.barRight, 285);
    LayoutProgress(300, 50, 0, &picture);  // step 10
    EXPECT_EQ(picture.barRight, 42);
}

TEST(ProgressGeometry, SmallAndOddClientAreas)
{
    struct Case {
        int width, height, value;
        int trackLeft, trackTop, trackRight, trackBottom, barRight;
    };
    const Case cases[] = {
        // Under 20 wide or 8 high the margins vanish and the track meets the frame.
        {19, 7, 10, 0, 0, 19, 7, 3},
        {20, 8, 90, 1, 1, 19, 7, 19},
        // The remainder is dropped after the product: 299 wide, track 14..285 (271),
        // 271 * 20 / 100 = 54.2 and 271 * 10 / 100 = 27.1.
        {299, 49, 10, 14, 6, 285, 43, 68},
        {299, 49, 0, 14, 6, 285, 43, 41},
        {0, 0, 50, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ProgressPicture picture;
        LayoutProgress(c.width, c.height, c.value, &picture);
        SCOPED_TRACE(testing::Message() << c.width << " by " << c.height << " at " << c.value);
        EXPECT_EQ(picture.trackLeft, c.trackLeft);
        EXPECT_EQ(picture.trackTop, c.trackTop);
        EXPECT_EQ(picture.trackRight, c.trackRight);
        EXPECT_EQ(picture.trackBottom, c.trackBottom);
        EXPECT_EQ(picture.barRight, c.barRight);
    }
}

TEST(DialogUnits, WindowsSizesAtTheClassicFontMetrics)
{
    // 8-point MS Sans Serif at 96 dpi has base units 6 by 13: the 52 letters measure 299
    // pixels in a row. Sizes below are what Windows makes of the status windows' templates.
    EXPECT_EQ(DialogBaseWidth(299), 6);
    EXPECT_EQ(DialogBaseWidth(286), 6);  // 11 per pair rounds up
    EXPECT_EQ(DialogBaseWidth(285), 5);
    struct Case {
        int units, pixelsWide, pixelsHigh;
    };
    const Case cases[] = {
        {199, 299, 323},  // 298.5 rounds up
        {30, 45, 49},     // 48.75
        {186, 279, 302},  // 302.25
        {95, 143, 154},   // 142.5 and 154.375
        {7, 11, 11},      // 10.5 and 11.375
        {172, 258, 280},  // 279.5
        {81, 122, 132},   // 121.5 and 131.625
        {0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogUnitsToWidth(c.units, 6), c.pixelsWide) << c.units;
        EXPECT_EQ(DialogUnitsToHeight(c.units, 13), c.pixelsHigh) << c.units;
    }
    EXPECT_EQ(DialogUnitsToWidth(-7, 6), -11);  // halves away from zero on both sides
}

TEST(LogOrder, AlphabeticalWithoutRegardToCase)
{
    struct Case {
        const char* first;
        const char* second;
        int sign;
    };
    const Case cases[] = {
        {"apple - no change.", "Banana - no change.", -1},  // a case-sensitive order says +
        {"Zeta", "alpha", 1},                               // and - here
        {"README.TXT - file changed.", "readme.txt - file changed.", 0},
        {"a", "ab", -1},
        {"", "a", -1},
        {"", "", 0},
        {"_under", "a", -1},    // '_' stands before the letters, capitals or not
        {"_under", "A", -1},
        {"a\xe9", "az", 1},     // bytes above 127 compare unsigned, after ASCII
        {"\xc9", "\xe9", -1},   // and are not folded
    };
    for (const Case& c : cases) {
        int result = CompareLogLines(c.first, c.second);
        int sign = (result > 0) - (result < 0);
        EXPECT_EQ(sign, c.sign) << '"' << c.first << "\" vs \"" << c.second << '"';
        int reverse = CompareLogLines(c.second, c.first);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.sign) << "reversed";
    }
}

// Xft.dpi as the desktop sets it, else the screen's size to the nearest quarter of 96 and
// never under 96, else 96; lengths scaled from 96 dpi, halves up, nothing shrinks to 0.
TEST(ScreenDpi, DesktopDpiAndScaledLengths)
{
    const struct { const char* xft; int pixels, millimetres, dpi; } desktops[] = {
        {"192", 1024, 271, 192},  {"144.0", 0, 0, 144},  {"96", 3840, 600, 96},
        {"", 1024, 271, 96},      {"none", 3840, 343, 288}, {nullptr, 3840, 600, 168},
        {nullptr, 1920, 530, 96}, {nullptr, 1366, 410, 96}, {nullptr, 1024, 0, 96},
        {"0", 0, 0, 96},
    };
    for (const auto& d : desktops)
        EXPECT_EQ(DesktopDpi(d.xft, d.pixels, d.millimetres), d.dpi)
            << (d.xft ? d.xft : "(none)") << ", " << d.pixels << " px, " << d.millimetres << " mm";
    const struct { int pixels, dpi, scaled; } lengths[] = {
        {11, 96, 11}, {11, 192, 22}, {11, 144, 17}, {1, 144, 2}, {1, 120, 1},
        {1, 72, 1},   {0, 192, 0},   {20, 168, 35}, {8, 48, 4},
    };
    for (const auto& l : lengths)
        EXPECT_EQ(ScaleToDpi(l.pixels, l.dpi), l.scaled) << l.pixels << " px at " << l.dpi;
}
