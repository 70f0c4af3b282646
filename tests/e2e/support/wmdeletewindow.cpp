// Asks a top-level window to close as a window manager does: a WM_DELETE_WINDOW client message.
// The test display has no window manager, and "xdotool windowclose" destroys the window instead
// of asking it.
//
// Usage: e2e_wm_delete_window WINDOW-ID
// Exit status: 0 sent, 1 bad usage or no display, 2 the window does not take part in the
// WM_DELETE_WINDOW protocol (the message would be ignored).

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool TakesDeleteWindow(Display* display, Window window, Atom deleteWindow) {
    Atom* protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(display, window, &protocols, &count))
        return false;
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || protocols[i] == deleteWindow;
    XFree(protocols);
    return found;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 1;
    }
    char* end = nullptr;
    const Window window = std::strtoul(argv[1], &end, 0);
    if (*end != '\0' || window == 0) {
        std::fprintf(stderr, "not a window id: %s\n", argv[1]);
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!TakesDeleteWindow(display, window, deleteWindow)) {
        std::fprintf(stderr, "window 0x%lx does not take WM_DELETE_WINDOW\n", window);
        XCloseDisplay(display);
        return 2;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
