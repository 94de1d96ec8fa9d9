// The result window's stored place against the screens' work areas.
#include "screen_probe.h"

#include "../settings/setting_number.h"

namespace {

// Half a billion pixels: farther than any screen, near enough for a sum not to overflow.
const int kFar = 1 << 29;
// How much of the caption a user needs to take hold of it, at 96 dots per inch.
const int kGripWidth = 32;
const int kGripHeight = 8;

int Clamp(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

// How much of window lies within the work area, in square pixels: no more than the work area
// holds, which for a screen fits an int.
int Overlap(const ProbeRect& window, const ProbeRect& work) {
  const int w = Min(window.right, work.right) - Max(window.left, work.left);
  const int h = Min(window.bottom, work.bottom) - Max(window.top, work.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// How far apart two rectangles are, along the axis where they are farthest apart; 0 when they
// touch or overlap.
int Gap(const ProbeRect& a, const ProbeRect& b) {
  const int dx = Max(b.left - a.right, a.left - b.right);
  const int dy = Max(b.top - a.bottom, a.top - b.bottom);
  return Max(0, Max(dx, dy));
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

Grip GripAtDpi(int dpi, int frame_x, int frame_y, int caption) {
  return {frame_x, frame_y, caption, ScaleForDpi(kGripWidth, dpi), ScaleForDpi(kGripHeight, dpi)};
}

bool ShowsGrip(const ProbeRect& window, const Grip& grip, const ProbeRect& work) {
  // The caption, within the window as far as it leaves a pixel to look for.
  const int height = window.bottom - window.top;
  const int frame_x = Clamp(grip.frame_x, 0, (window.right - window.left - 1) / 2);
  const int frame_y = Clamp(grip.frame_y, 0, height - 1);
  const ProbeRect caption = {window.left + frame_x, window.top + frame_y, window.right - frame_x,
                             window.top + frame_y + Clamp(grip.caption, 1, height - frame_y)};
  const int shown_width = Min(caption.right, work.right) - Max(caption.left, work.left);
  const int shown_height = Min(caption.bottom, work.bottom) - Max(caption.top, work.top);
  return shown_width >= Min(caption.right - caption.left, grip.width) &&
         shown_height >= Min(caption.bottom - caption.top, grip.height);
}

ProbePoint PlaceOnScreens(int left, int top, int width, int height, const Grip& grip,
                          const ProbeRect* works, size_t count) {
  const ProbeRect window = StoredPlaceProbe(left, top, width, height);
  size_t nearest = count;
  int most = 0, least_gap = 0;
  for (size_t i = 0; i < count; ++i) {
    if (ShowsGrip(window, grip, works[i])) return {left, top};
    const int overlap = Overlap(window, works[i]), gap = Gap(window, works[i]);
    if (nearest == count || overlap > most || (overlap == most && gap < least_gap)) {
      nearest = i;
      most = overlap;
      least_gap = gap;
    }
  }
  // The first screen is always taken as nearest, so none is only when there is no screen.
  if (nearest == count) return {left, top};
  return {works[nearest].left, works[nearest].top};
}
