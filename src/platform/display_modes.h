#pragma once
// The display the program's window is on: its size, and a change of its mode for this session
// only. The window is made for a screen of at least 1024 x 768.

#include <QSize>

class DisplayModes {
  public:
    virtual ~DisplayModes() = default;

    // The screen's size in pixels.
    virtual QSize ScreenSize() const = 0;
    // Switches the screen to size for this session only, never as a lasting default. False
    // when the platform has no safe way to do it (X11 and Wayland here: a program has no business
    // changing the user's display mode there) or the switch failed.
    virtual bool SwitchForSession(QSize size) = 0;
};

// The display of the machine the program runs on. Lives as long as the process.
DisplayModes& SystemDisplayModes();
