/* Drops files on the window under a screen point through the X server's
 * drag-and-drop protocol (XDND), as a Linux file manager does: the journeys
 * use it to drop a file on a launcher running under Wine.
 *
 * usage: xdnd_drop X Y PATH...   (exit 0 once the target took the drop) */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/time.h>

static Display *display;
static Atom xdndAware, xdndSelection, xdndEnter, xdndPosition, xdndStatus, xdndDrop, xdndFinished, xdndActionCopy,
    uriList;

/* The deepest window at the root point that takes part in XDND. */
static Window FindTarget(int x, int y)
{
    Window root = DefaultRootWindow(display), parent = root, child = None, aware = None;
    int localX, localY;
    while (XTranslateCoordinates(display, root, parent, x, y, &localX, &localY, &child) && child != None) {
        Atom type;
        int format;
        unsigned long count, remaining;
        unsigned char *data = NULL;
        if (XGetWindowProperty(display, child, xdndAware, 0, 1, False, AnyPropertyType, &type, &format, &count,
                               &remaining, &data) == Success && data) {
            aware = child;
            XFree(data);
        }
        parent = child;
    }
    return aware;
}

static void SendClientMessage(Window target, Atom message, long l0, long l1, long l2, long l3, long l4)
{
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = target;
    event.xclient.message_type = message;
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

/* Hands the file list to whoever asks for the drag's selection. */
static void AnswerSelectionRequest(const XSelectionRequestEvent *request, const char *uris)
{
    XEvent reply;
    memset(&reply, 0, sizeof reply);
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request->requestor;
    reply.xselection.selection = request->selection;
    reply.xselection.target = request->target;
    reply.xselection.time = request->time;
    reply.xselection.property = None;
    if (request->target == uriList) {
        XChangeProperty(display, request->requestor, request->property, uriList, 8, PropModeReplace,
                        (const unsigned char *)uris, (int)strlen(uris));
        reply.xselection.property = request->property;
    }
    XSendEvent(display, request->requestor, False, NoEventMask, &reply);
    XFlush(display);
}

/* The next client message of the kind for the source, answering selection
 * requests meanwhile; 0 after 5 s. */
static int AwaitMessage(Window source, Atom message, const char *uris, XClientMessageEvent *got)
{
    struct timeval end, now;
    gettimeofday(&end, NULL);
    end.tv_sec += 5;
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest)
                AnswerSelectionRequest(&event.xselectionrequest, uris);
            else if (event.type == ClientMessage && event.xclient.window == source &&
                     event.xclient.message_type == message) {
                *got = event.xclient;
                return 1;
            }
        }
        gettimeofday(&now, NULL);
        if (timercmp(&now, &end, >))
            return 0;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(ConnectionNumber(display), &readable);
        struct timeval wait = {0, 20000};
        select(ConnectionNumber(display) + 1, &readable, NULL, NULL, &wait);
    }
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: %s X Y PATH...\n", argv[0]);
        return 2;
    }
    int x = atoi(argv[1]), y = atoi(argv[2]);
    display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xdnd_drop: no display\n");
        return 2;
    }
    xdndAware = XInternAtom(display, "XdndAware", False);
    xdndSelection = XInternAtom(display, "XdndSelection", False);
    xdndEnter = XInternAtom(display, "XdndEnter", False);
    xdndPosition = XInternAtom(display, "XdndPosition", False);
    xdndStatus = XInternAtom(display, "XdndStatus", False);
    xdndDrop = XInternAtom(display, "XdndDrop", False);
    xdndFinished = XInternAtom(display, "XdndFinished", False);
    xdndActionCopy = XInternAtom(display, "XdndActionCopy", False);
    uriList = XInternAtom(display, "text/uri-list", False);

    size_t size = 1;
    for (int i = 3; i < argc; ++i)
        size += strlen(argv[i]) + 9;
    char *uris = calloc(1, size);
    for (int i = 3; i < argc; ++i) {
        strcat(uris, "file://");
        strcat(uris, argv[i]);
        strcat(uris, "\r\n");
    }

    Window target = FindTarget(x, y);
    if (target == None) {
        fprintf(stderr, "xdnd_drop: no drop target at %d,%d\n", x, y);
        return 1;
    }
    Window source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, xdndSelection, source, CurrentTime);

    XClientMessageEvent reply;
    SendClientMessage(target, xdndEnter, (long)source, 5L << 24, (long)uriList, None, None);
    SendClientMessage(target, xdndPosition, (long)source, 0, ((long)x << 16) | y, CurrentTime, (long)xdndActionCopy);
    if (!AwaitMessage(source, xdndStatus, uris, &reply) || !(reply.data.l[1] & 1)) {
        fprintf(stderr, "xdnd_drop: the target refused the drag\n");
        return 1;
    }
    SendClientMessage(target, xdndDrop, (long)source, 0, CurrentTime, None, None);
    if (!AwaitMessage(source, xdndFinished, uris, &reply)) {
        fprintf(stderr, "xdnd_drop: the drop was not finished\n");
        return 1;
    }
    free(uris);
    XCloseDisplay(display);
    return 0;
}
