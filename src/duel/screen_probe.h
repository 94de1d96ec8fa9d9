// Where the result window goes on the screens there are: its stored place when the user can
// still take hold of it there, else the corner of the nearest screen. Free of Windows headers.
#pragma once
#include <cstddef>

struct ProbeRect {
  int left, top, right, bottom;
};

struct ProbePoint {
  int x, y;
};

// At least one pixel wide and high, so that a zero or negative stored size is still looked for
// at its corner; coordinates far beyond any screen are brought in to where right and bottom
// cannot overflow, which keeps them off every screen and on the same side of it.
ProbeRect StoredPlaceProbe(int left, int top, int width, int height);

// The window has no system menu: only its caption, at the top, lets the user move it. True when
// work shows a piece of the window's top 32 rows at least min(width, 32) pixels wide and
// min(height, 8) pixels tall, enough to take hold of.
bool ShowsGrip(const ProbeRect& window, const ProbeRect& work);

// The corner for a window stored at left, top with the given size, among the work areas of the
// screens (the taskbar left out): the stored corner when some work area shows its grip; else the
// top-left corner of the work area that holds most of the window or, when none holds any of it,
// of the one nearest to it. With no work area at all, the stored corner.
ProbePoint PlaceOnScreens(int left, int top, int width, int height, const ProbeRect* works,
                          size_t count);
