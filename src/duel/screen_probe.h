// Where the result window goes on the screens there are: its stored place when the user can
// still take hold of it there, else the corner of the screen that holds most of it or, when
// none holds any, of the nearest one. Free of Windows headers.
#pragma once
#include <cstddef>

struct ProbeRect {
  int left, top, right, bottom;
};

struct ProbePoint {
  int x, y;
};

// What of the window a user must see to take hold of it. The window has no system menu: only its
// caption lets the user move it, and its sizing frame, around the caption too, only resizes it (on
// Windows 10 and later the frame at the left, right and bottom is even invisible, though the
// window's rectangle counts it). All in pixels at the host's DPI.
struct Grip {
  int frame_x, frame_y;  // the sizing frame at the left and right, and above the caption
  int caption;           // the caption's rows, below the frame
  int width, height;     // the piece of the caption that must show
};

// The grip at dpi, for a window whose rectangle counts a sizing frame of frame_x pixels at the
// left and right and frame_y at the top, above a caption of caption rows: a piece of the caption
// 32 pixels wide and 8 tall at 96 dots per inch.
Grip GripAtDpi(int dpi, int frame_x, int frame_y, int caption);

// At least one pixel wide and high, so that a zero or negative size is still looked for at its
// corner; coordinates far beyond any screen are brought in to where right and bottom cannot
// overflow, which keeps them off every screen and on the same side of it.
ProbeRect StoredPlaceProbe(int left, int top, int width, int height);

// True when work shows a piece of the window's caption at least as wide and tall as the grip asks,
// or all of it when the caption is smaller than that.
bool ShowsGrip(const ProbeRect& window, const Grip& grip, const ProbeRect& work);

// The corner for a window of the given size at left, top, among the work areas of the screens
// (the taskbar left out): the given corner when some work area shows its grip; else the top-left
// corner of the work area that holds most of the window or, when none holds any of it, of the one
// nearest to it. With no work area at all, the given corner. The size is the one the system gave
// the window, which may be larger than the one stored.
ProbePoint PlaceOnScreens(int left, int top, int width, int height, const Grip& grip,
                          const ProbeRect* works, size_t count);
