#include "LockKeys.h"

#include <QGuiApplication>

#if defined(VELMO_HAVE_X11)
#include <X11/XKBlib.h>
#endif

SLockKeys QueryLockKeys() {
    SLockKeys keys;
#if defined(VELMO_HAVE_X11)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) {
        return keys;
    }
    const auto isOn = [display](const char* name) {
        const Atom atom = XInternAtom(display, name, True);
        Bool on = False;
        return atom != None &&
               XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) && on;
    };
    keys.bCaps = isOn("Caps Lock");
    keys.bNum = isOn("Num Lock");
    keys.bScroll = isOn("Scroll Lock");
#endif
    return keys;
}
