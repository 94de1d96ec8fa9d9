// The result window's stored place as a rectangle to look for on the screens.
#include "screen_probe.h"

namespace {

// Half a billion pixels: farther than any screen, near enough for a sum not to overflow.
const int kFar = 1 << 29;

int Clamp(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

}  // namespace

ProbeRect StoredPlaceProbe(int left, int top, int width, int height) {
  ProbeRect probe;
  probe.left = Clamp(left, -kFar, kFar);
  probe.top = Clamp(top, -kFar, kFar);
  probe.right = probe.left + Clamp(width, 1, kFar);
  probe.bottom = probe.top + Clamp(height, 1, kFar);
  return probe;
}
