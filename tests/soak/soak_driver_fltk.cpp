// The soak driver on Linux: an FLTK window over the whole screen, so that the pointer is
// always over it, and a one-second timeout re-armed after each tick, as the main window's.
//   soak_driver FOLDER
#include "link/serial_link.h"
#include "tests/soak/soak_driver.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

static const char* Folder;

static void Tick(void* window)
{
    if (!SoakTick((Fl_Window*)window, Folder)) {
        ((Fl_Window*)window)->hide();
        return;
    }
    Fl::add_timeout(1.0, Tick, window);
}

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    Folder = argv[1];
    Fl_Window window(0, 0, Fl::w(), Fl::h(), "Tarnwell soak");
    window.end();
    // Esc ends a transfer; it must not close the window, as FLTK's default callback would.
    window.callback([](Fl_Widget*, void*) {});
    window.show();
    OpenLink();
    Fl::add_timeout(1.0, Tick, &window);
    Fl::run();
    CloseLink();
    return 0;
}
