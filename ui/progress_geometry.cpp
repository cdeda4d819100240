// The progress bar's arithmetic, shared by both builds (see progress_geometry.h).
#include "ui/progress_geometry.h"

int ProgressStepDue(int count)
{
    return count % ProgressStepBytes == 0;
}

int NextProgressValue(int value)
{
    return (value + 10) % 100;
}

void LayoutProgress(int width, int height, int value, ProgressPicture* picture)
{
    int dx = width / 20;
    int dy = height / 8;
    picture->width = width;
    picture->height = height;
    picture->trackLeft = dx;
    picture->trackTop = dy;
    picture->trackRight = width - dx;
    picture->trackBottom = height - dy;
    // The product first, so a narrow track still moves in steps of a tenth.
    int trackWidth = picture->trackRight - picture->trackLeft;
    picture->barRight = picture->trackLeft + trackWidth * (value + 10) / 100;
}
