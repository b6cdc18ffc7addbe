#pragma once

#include <functional>
#include <string>

// What start-up knows of the session before any window exists.
struct TSessionFacts {
    std::string QtPlatform;     // QT_QPA_PLATFORM: the user's own choice when not empty
    std::string Display;        // DISPLAY
    std::string WaylandDisplay; // WAYLAND_DISPLAY
    std::string SessionType;    // XDG_SESSION_TYPE
};

// The window system the program asks Qt for, or empty to leave Qt's own choice.
// A native Wayland window can neither place itself nor learn where it stands, so dragging,
// snapping, docking, "stay on top" and the stored position all need X: on a Wayland session
// with an X server beside it (XWayland) the program runs on X. Without one it stays on Wayland,
// and the user's QT_QPA_PLATFORM always wins.
std::string ChooseQtPlatform(const TSessionFacts& facts,
                             const std::function<bool(const std::string&)>& xDisplayReachable);

// Whether an X server answers for the display name: a local display's socket is there, or the
// display is on another host (which only a connection can tell; Qt falls back if it fails).
bool XDisplayReachable(const std::string& display);

// Whether windows on that Qt platform can place themselves and learn where they stand; a
// native Wayland window can do neither, only ask the compositor to move it.
bool WindowsPlaceThemselves(const std::string& qtPlatformName);

// Reads the facts from the environment and sets QT_QPA_PLATFORM when X is to be used; called
// once, before the application object exists.
void ApplyQtPlatformChoice();
