/* Whether the desktop is free: another client takes the keyboard and the pointer, as a menu
   of another program would, and lets go of them at once. Exit status: 0 both were taken;
   1 no display; 2 a client (a menu of the program under test) holds one of them. */
#include <X11/Xlib.h>

int main(void)
{
    Display* display = XOpenDisplay(NULL);
    if (!display)
        return 1;
    Window root = DefaultRootWindow(display);
    int keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    int pointer = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                               CurrentTime);
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    XCloseDisplay(display);
    return keyboard == GrabSuccess && pointer == GrabSuccess ? 0 : 2;
}
