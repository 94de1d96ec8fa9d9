// The result window's stored place against the screens' work areas.
#include "screen_probe.h"

namespace {

// Half a billion pixels: farther than any screen, near enough for a sum not to overflow.
const int kFar = 1 << 29;
// The rows that hold the caption, and how much of it a user needs to take hold of it.
const int kGripRows = 32;
const int kGripWidth = 32;
const int kGripHeight = 8;

int Clamp(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

}  // namespace

ProbeRect StoredPlaceProbe(int left, int top, int width, int height) {
  ProbeRect probe;
  probe.left = Clamp(left, -kFar, kFar);
  probe.top = Clamp(top, -kFar, kFar);
  probe.right = probe.left + Clamp(width, 1, kFar);
  probe.bottom = probe.top + Clamp(height, 1, kFar);
  return probe;
}

bool ShowsGrip(const ProbeRect& window, const ProbeRect& work) {
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int shown_width = Min(window.right, work.right) - Max(window.left, work.left);
  const int grip_bottom = window.top + Min(height, kGripRows);
  const int shown_height = Min(grip_bottom, work.bottom) - Max(window.top, work.top);
  return shown_width >= Min(width, kGripWidth) && shown_height >= Min(height, kGripHeight);
}
