#pragma once
// The state of the three lock keys shown in the status bar panes.

struct SLockKeys {
    bool bCaps = false;
    bool bNum = false;
    bool bScroll = false;
};

// The current lock states, read from the window system where it tells them (X11); all off
// where it does not.
SLockKeys QueryLockKeys();
