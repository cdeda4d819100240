// The progress bar's arithmetic, shared by both builds: when a step draws, how the bar's
// state moves on, and where the frame, the track and the bar lie in the client area.
#ifndef TARNWELL_PROGRESS_GEOMETRY_H
#define TARNWELL_PROGRESS_GEOMETRY_H

// Bytes between two drawing steps.
enum { ProgressStepBytes = 64 };

// One picture of the client area, width by height pixels. Each rectangle is drawn as a
// black one-pixel outline around its fill, with right and bottom exclusive (as GDI's
// Rectangle takes them): the frame is 0, 0 to width, height (light gray), the track lies
// inside it (white), and the hatched bar shares the track's left, top and bottom.
struct ProgressPicture {
    int width;
    int height;
    int trackLeft;
    int trackTop;
    int trackRight;
    int trackBottom;
    int barRight;
};

// Non-zero when the byte count calls for a drawing step: a whole multiple of 64.
int ProgressStepDue(int count);

// The bar's state after one more step: (value + 10) modulo 100. A new window's state is
// ProgressValueAtShow, so its steps go 10, 20, ..., 90, 0, 10, ...
enum { ProgressValueAtShow = 100 };
int NextProgressValue(int value);

// Fills picture for a client area of width by height pixels and the bar state value.
// The margins are a twentieth of the width and an eighth of the height (both rounded
// down); the bar covers value + 10 percent of the track's width, rounded down.
void LayoutProgress(int width, int height, int value, ProgressPicture* picture);

#endif
