// The result window's stored place as a rectangle to look for on the screens. Free of Windows
// headers.
#pragma once

struct ProbeRect {
  int left, top, right, bottom;
};

// At least one pixel wide and high, so that a zero or negative stored size is still looked for
// at its corner; coordinates far beyond any screen are brought in to where right and bottom
// cannot overflow, which keeps them off every screen and on the same side of it.
ProbeRect StoredPlaceProbe(int left, int top, int width, int height);
