// The one type by which shared code names a window of the program: the owner of the
// status windows and of the connect-failure message. HWND on Windows, Fl_Window* on Linux.
#ifndef TARNWELL_WINDOW_HANDLE_H
#define TARNWELL_WINDOW_HANDLE_H

#ifdef _WIN32
struct HWND__;
typedef HWND__* WindowHandle;
#else
class Fl_Window;
typedef Fl_Window* WindowHandle;
#endif

#endif
