// Whether a stored place of the result window leaves it within the user's reach. Free of Windows
// headers, so that the rule is tested natively, edge by edge.
#pragma once

struct ProbeRect {
  int left, top, right, bottom;
};

// At least one pixel wide and high, so that a zero or negative stored size is still looked for
// at its corner; coordinates far beyond any screen are brought in to where right and bottom
// cannot overflow, which keeps them off every screen and on the same side of it.
ProbeRect StoredPlaceProbe(int left, int top, int width, int height);

// The window has no system menu: only its caption, at the top, lets the user move it. True when
// work shows a piece of the window's top 32 rows at least min(width, 32) pixels wide and
// min(height, 8) pixels tall, enough to take hold of.
bool ShowsGrip(const ProbeRect& window, const ProbeRect& work);
