/* A drag source for the tests: drops files on whatever window stands at a point of the X
   screen, by the XDND protocol (version 5), as a file manager does:
     xdnd-drop X Y PATH...
   The paths go over as a text/uri-list of file:// URIs, URL-encoded, one a line with CR LF.
   Exit status: 0 the target took the drop and said it was done with it (FLTK says so once
   its handler has run; Wine once it has posted the drop); 1 usage or no display; 2 no XDND
   target at that point within ten seconds; 3 the target refused the drop; 4 no answer in time. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { Version = 5, AnswerMs = 30000, FindMs = 10000 };

static Display* display;
static Window source;
static Atom XdndAware, XdndSelection, XdndEnter, XdndPosition, XdndStatus, XdndLeave, XdndDrop,
    XdndFinished, XdndActionCopy, UriList;
static char* uriList;

static long long NowMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

/* The path as a file:// URI: every byte but unreserved ones and '/' as %XX. */
static void AppendUri(char* to, const char* path)
{
    static const char hex[] = "0123456789ABCDEF";
    to += strlen(to);
    to += sprintf(to, "file://");
    for (const unsigned char* p = (const unsigned char*)path; *p; p++) {
        if ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') ||
            strchr("/-_.~", *p)) {
            *to++ = (char)*p;
        } else {
            *to++ = '%';
            *to++ = hex[*p >> 4];
            *to++ = hex[*p & 15];
        }
    }
    strcpy(to, "\r\n");
}

/* The window at (x, y) that takes XDND: the topmost one there with XdndAware, searched from
   the root down (a window manager puts the program's window inside a frame of its own). */
static Window FindTarget(int x, int y)
{
    Window root = DefaultRootWindow(display), at = root, child;
    int childX, childY;
    for (;;) {
        if (at != root) {
            Atom type;
            int format;
            unsigned long count, after;
            unsigned char* data = NULL;
            int aware = XGetWindowProperty(display, at, XdndAware, 0, 1, False, AnyPropertyType,
                                           &type, &format, &count, &after, &data) == Success &&
                        data && count == 1;
            if (data)
                XFree(data);
            if (aware)
                return at;
        }
        if (!XTranslateCoordinates(display, root, at, x, y, &childX, &childY, &child) || !child)
            return 0;
        at = child;
    }
}

static void SendMessage(Window target, Atom type, long l1, long l2, long l3, long l4)
{
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)source;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

/* The target asks for the dropped data, when and as often as it likes (Wine asks on entry,
   FLTK after the drop): the URI list for text/uri-list, a refusal for anything else. */
static void AnswerRequest(const XSelectionRequestEvent* request)
{
    XEvent answer;
    memset(&answer, 0, sizeof answer);
    answer.xselection.type = SelectionNotify;
    answer.xselection.requestor = request->requestor;
    answer.xselection.selection = request->selection;
    answer.xselection.target = request->target;
    answer.xselection.time = request->time;
    answer.xselection.property = None;
    if (request->target == UriList && request->property != None) {
        XChangeProperty(display, request->requestor, request->property, UriList, 8,
                        PropModeReplace, (unsigned char*)uriList, (int)strlen(uriList));
        answer.xselection.property = request->property;
    }
    XSendEvent(display, request->requestor, False, NoEventMask, &answer);
    XFlush(display);
}

/* Waits for a client message of `type` from the target, answering data requests meanwhile.
   Non-zero with the message in `got`; 0 when none came in time. */
static int Await(Atom type, XClientMessageEvent* got)
{
    long long deadline = NowMs() + AnswerMs;
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest)
                AnswerRequest(&event.xselectionrequest);
            else if (event.type == ClientMessage && event.xclient.message_type == type) {
                *got = event.xclient;
                return 1;
            }
        }
        long long left = deadline - NowMs();
        if (left <= 0)
            return 0;
        struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, (int)left);
    }
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: xdnd-drop X Y PATH...\n");
        return 1;
    }
    display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xdnd-drop: no display\n");
        return 1;
    }
    int x = atoi(argv[1]), y = atoi(argv[2]);
    size_t size = 1;
    for (int i = 3; i < argc; i++)
        size += 3 * strlen(argv[i]) + 10;
    uriList = calloc(size, 1);
    for (int i = 3; i < argc; i++)
        AppendUri(uriList, argv[i]);

#define ATOM(name) name = XInternAtom(display, #name, False)
    ATOM(XdndAware);
    ATOM(XdndSelection);
    ATOM(XdndEnter);
    ATOM(XdndPosition);
    ATOM(XdndStatus);
    ATOM(XdndLeave);
    ATOM(XdndDrop);
    ATOM(XdndFinished);
    ATOM(XdndActionCopy);
    UriList = XInternAtom(display, "text/uri-list", False);

    source = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, XdndSelection, source, CurrentTime);
    /* Wine shows a window to its own programs before the X server has mapped it: a target
       that is not there yet gets a few seconds to come, as a user would wait to see it. */
    Window target = FindTarget(x, y);
    for (long long deadline = NowMs() + FindMs; !target && NowMs() < deadline;) {
        struct timespec pause = {0, 50 * 1000000L};
        nanosleep(&pause, NULL);
        target = FindTarget(x, y);
    }
    if (!target) {
        fprintf(stderr, "xdnd-drop: no window takes drops at %d,%d\n", x, y);
        return 2;
    }

    int status = 0;
    XClientMessageEvent answer;
    SendMessage(target, XdndEnter, (long)Version << 24, (long)UriList, None, None);
    SendMessage(target, XdndPosition, 0, (long)x << 16 | y, CurrentTime, (long)XdndActionCopy);
    if (!Await(XdndStatus, &answer)) {
        fprintf(stderr, "xdnd-drop: no status from the target\n");
        status = 4;
    } else if (!(answer.data.l[1] & 1)) {
        fprintf(stderr, "xdnd-drop: the target does not take the drop\n");
        SendMessage(target, XdndLeave, 0, 0, 0, 0);
        status = 3;
    } else {
        SendMessage(target, XdndDrop, 0, CurrentTime, 0, 0);
        /* Its answer's accept bit is not looked at: FLTK 1.3 leaves it clear. */
        if (!Await(XdndFinished, &answer)) {
            fprintf(stderr, "xdnd-drop: the target never finished the drop\n");
            status = 4;
        }
    }
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    free(uriList);
    return status;
}
