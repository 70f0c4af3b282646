#include "platform/windowlookup.h"

#include <QGuiApplication>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

QString WindowName(Display* display, Window window) {
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        QString name =
            QString::fromUtf8(reinterpret_cast<char*>(data), static_cast<qsizetype>(count));
        XFree(data);
        return name;
    }
    char* legacy = nullptr;
    if (XFetchName(display, window, &legacy) && legacy != nullptr) {
        QString name = QString::fromLocal8Bit(legacy);
        XFree(legacy);
        return name;
    }
    return QString();
}

bool Matches(Display* display, Window window, const QByteArray& className, const QString& caption) {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return false;
    const bool sameClass = (hint.res_name && className == hint.res_name) ||
                           (hint.res_class && className == hint.res_class);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return sameClass && WindowName(display, window) == caption;
}

// Window managers put client windows inside frames, so look a few levels below the root.
bool Search(Display* display, Window window, const QByteArray& className, const QString& caption,
            int depth) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = Matches(display, children[i], className, caption) ||
                (depth > 1 && Search(display, children[i], className, caption, depth - 1));
    if (children)
        XFree(children);
    return found;
}

} // namespace

bool TopLevelWindowExists(const QString& className, const QString& caption) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const bool found = Search(display, DefaultRootWindow(display), className.toUtf8(), caption, 3);
    XCloseDisplay(display);
    return found;
}
