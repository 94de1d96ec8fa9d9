// The result window's stored place as the rectangle looked for on the screens.
#include "duel/screen_probe.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct ProbeCase {
  const char* what;
  int left, top, width, height;
  ProbeRect expected;
};

TEST(StoredPlaceProbe, Table) {
  const int far = 1 << 29;
  const ProbeCase cases[] = {
      {"defaults", 0, 0, 250, 27, {0, 0, 250, 27}},
      {"partly off the left", -100, 5, 250, 27, {-100, 5, 150, 32}},
      {"zero size is one pixel", 1279, 799, 0, 0, {1279, 799, 1280, 800}},
      {"negative size is one pixel", 10, 10, -40, -1, {10, 10, 11, 11}},
      {"saturated far right and bottom",
       INT_MAX,
       INT_MAX,
       250,
       27,
       {far, far, far + 250, far + 27}},
      {"saturated far left and top",
       INT_MIN,
       INT_MIN,
       250,
       27,
       {-far, -far, -far + 250, -far + 27}},
      {"huge size", 0, 0, INT_MAX, INT_MAX, {0, 0, far, far}},
  };
  for (const ProbeCase& c : cases) {
    ProbeRect r = StoredPlaceProbe(c.left, c.top, c.width, c.height);
    EXPECT_EQ(c.expected.left, r.left) << c.what;
    EXPECT_EQ(c.expected.top, r.top) << c.what;
    EXPECT_EQ(c.expected.right, r.right) << c.what;
    EXPECT_EQ(c.expected.bottom, r.bottom) << c.what;
  }
}

}  // namespace
