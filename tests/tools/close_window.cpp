// Test tool: asks the game's window (titled "zorbl ...") to close, the way a window
// manager's close button does (WM_DELETE_WINDOW), which xdotool cannot send.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

namespace {

Window find(Display* d, Window w)
{
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name != nullptr) {
        // "zorbl", or "zorbl - ..." as the game titles its window.
        const bool match = std::strncmp(name, "zorbl", 5) == 0 && (name[5] == '\0' || name[5] == ' ');
        XFree(name);
        if (match)
            return w;
    }
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = find(d, children[i]);
        if (children)
            XFree(children);
    }
    return found;
}

} // namespace

int main()
{
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr)
        return 2;
    const Window w = find(d, DefaultRootWindow(d));
    if (!w)
        return 1;
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
    XCloseDisplay(d);
    return 0;
}
