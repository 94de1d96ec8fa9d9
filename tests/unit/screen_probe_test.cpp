// Whether a stored place leaves enough of the result window's caption to take hold of: windows
// narrower than 32 or shorter than 8 pixels, which the tests under Wine do not place.
#include "duel/screen_probe.h"

#include <gtest/gtest.h>

namespace {

TEST(ShowsGrip, SmallWindows) {
  const ProbeRect work = {0, 0, 1024, 768};
  const struct {
    int left, top, width, height;
    bool reachable;
  } cases[] = {
      {1000, 10, 20, 27, true}, {1005, 10, 20, 27, false}, {10, 0, 250, 5, true},
      {10, -1, 250, 5, false},  {0, 0, 0, 0, true},        {1024, 0, -50, 27, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.reachable, ShowsGrip(StoredPlaceProbe(c.left, c.top, c.width, c.height), work))
        << c.left << "," << c.top << " " << c.width << "x" << c.height;
  }
}

}  // namespace
