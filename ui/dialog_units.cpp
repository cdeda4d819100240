// Dialog units to pixels, shared by both builds (see dialog_units.h).
#include "ui/dialog_units.h"

// a * b / c rounded to the nearest integer, halves away from zero, for c > 0.
static int ScaleRounded(int a, int b, int c)
{
    long long product = (long long)a * b;
    long long half = c / 2;
    long long result = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return (int)result;
}

int DialogBaseWidth(int alphabetWidth)
{
    return (alphabetWidth / 26 + 1) / 2;
}

int DialogUnitsToWidth(int units, int baseWidth)
{
    return ScaleRounded(units, baseWidth, 4);
}

int DialogUnitsToHeight(int units, int baseHeight)
{
    return ScaleRounded(units, baseHeight, 8);
}
