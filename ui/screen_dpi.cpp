// The DPI arithmetic of both builds (see screen_dpi.h).
#include "ui/screen_dpi.h"

#include <stdlib.h>

int ScaleToDpi(int pixels, int dpi)
{
    long long scaled = ((long long)pixels * dpi + BaseDpi / 2) / BaseDpi;
    if (pixels > 0 && scaled < 1)
        return 1;
    return (int)scaled;
}

int DesktopDpi(const char* xftDpi, int widthPixels, int widthMillimetres)
{
    // Xft.dpi is a number such as "96", "144" or "192.0"; anything else is not one.
    if (xftDpi) {
        char* end;
        double dpi = strtod(xftDpi, &end);
        if (end != xftDpi && dpi >= 24 && dpi <= 960)
            return (int)(dpi + 0.5);
    }
    // A screen's size is often reported roughly, and a DPI a little off 96 must not change
    // what was drawn for 96: quarters of 96, and never less.
    if (widthPixels > 0 && widthMillimetres > 0) {
        const int quarter = BaseDpi / 4;
        double dpi = widthPixels * 25.4 / widthMillimetres;
        int rounded = (int)(dpi / quarter + 0.5) * quarter;
        return rounded > BaseDpi ? rounded : BaseDpi;
    }
    return BaseDpi;
}
