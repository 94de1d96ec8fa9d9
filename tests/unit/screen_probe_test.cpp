// Where the result window goes on one, two or three screens: kept where its caption can be taken
// hold of, else at the corner of the screen's work area that holds most of it, or of the nearest.
#include "duel/screen_probe.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 96 dots per inch, a rectangle without a frame whose top 32 rows are the caption.
const Grip kPlainGrip = GripAtDpi(96, 0, 0, 32);

const std::vector<ProbeRect> kOne = {{0, 0, 1024, 768}};
// The main screen, and a shorter one to its right.
const std::vector<ProbeRect> kTwo = {{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};
// A screen left of and above the main one: negative coordinates.
const std::vector<ProbeRect> kLeftAbove = {{0, 0, 1280, 760}, {-1600, -300, 0, 900}};
// The main screen, one above it and one to its right.
const std::vector<ProbeRect> kThree = {
    {0, 0, 1920, 1040}, {0, -1080, 1920, 0}, {1920, 0, 3840, 1080}};

struct PlaceCase {
  const char* what;
  const std::vector<ProbeRect>* screens;
  int left, top, width, height;
  bool kept;
  ProbePoint moved_to = {0, 0};  // when not kept
};

TEST(PlaceOnScreens, Table) {
  const std::vector<ProbeRect> none;
  const PlaceCase cases[] = {
      // One screen, at each edge.
      {"1 row at the top", &kOne, 100, -26, 250, 27, false, {0, 0}},
      {"4 rows at the top", &kOne, 100, -23, 250, 27, false, {0, 0}},
      {"2 rows above the top", &kOne, 100, -2, 250, 27, true},
      {"a tall window's bottom at the top", &kOne, 100, -90, 250, 100, false, {0, 0}},
      {"the last row", &kOne, 100, 767, 250, 27, false, {0, 0}},
      {"the last 8 rows", &kOne, 100, 760, 250, 27, true},
      {"1 column at the left", &kOne, -249, 100, 250, 27, false, {0, 0}},
      {"50 columns at the left", &kOne, -200, 100, 250, 27, true},
      {"the last column", &kOne, 1023, 100, 250, 27, false, {0, 0}},
      {"the last 32 columns", &kOne, 992, 100, 250, 27, true},
      // Several screens: any of them may show the caption.
      {"on the second screen", &kTwo, 2500, 500, 250, 27, true},
      {"on the third screen", &kThree, 3000, 100, 250, 27, true},
      {"on the screen above", &kThree, 100, -500, 250, 27, true},
      {"left of and above the main screen", &kLeftAbove, -1500, -250, 250, 27, true},
      {"across two screens, 20 columns on the first", &kTwo, 1900, 10, 250, 27, true},
      // Out of reach: the nearest screen's corner.
      {"below the shorter screen", &kTwo, 2000, 1030, 250, 27, false, {1920, 0}},
      {"where a screen left of the others was", &kTwo, -1500, 300, 250, 27, false, {0, 0}},
      {"where a screen right of the others was", &kTwo, 5000, 300, 250, 27, false, {1920, 0}},
      {"where a screen above was", &kTwo, 100, -900, 250, 27, false, {0, 0}},
      {"left of a screen left of the main", &kLeftAbove, -3000, 0, 250, 27, false, {-1600, -300}},
      {"below the lowest of three", &kThree, 3000, 2000, 250, 27, false, {1920, 0}},
      {"caption out of reach, more on the second", &kTwo, 1800, -200, 250, 400, false, {1920, 0}},
      {"caption out of reach, more on the first", &kTwo, 1750, -200, 250, 400, false, {0, 0}},
      {"more rows on the screen above", &kThree, -230, -150, 250, 200, false, {0, -1080}},
      {"far beyond every screen", &kThree, 2000000000, -2000000000, 300, 40, false, {0, -1080}},
      {"no screen to compare with", &none, 5000, 300, 250, 27, true},
  };
  for (const PlaceCase& c : cases) {
    ProbePoint got = PlaceOnScreens(c.left, c.top, c.width, c.height, kPlainGrip, c.screens->data(),
                                    c.screens->size());
    ProbePoint expected = c.kept ? ProbePoint{c.left, c.top} : c.moved_to;
    EXPECT_TRUE(got.x == expected.x && got.y == expected.y)
        << c.what << ": expected " << expected.x << "," << expected.y << ", got " << got.x << ","
        << got.y;
  }
}

// How much of the caption must show: less of a window narrower than 32 or shorter than 8
// pixels; more at a higher DPI; and none of it in the sizing frame that the window's rectangle
// counts at the left and right, and above the caption.
TEST(ShowsGrip, Table) {
  const ProbeRect work = {0, 0, 1024, 768};
  const struct {
    const char* what;
    int dpi, frame, caption, left, top, width, height;
    bool reachable;
  } cases[] = {
      {"20 columns of a 20-pixel window", 96, 0, 32, 1000, 10, 20, 27, true},
      {"19 columns of a 20-pixel window", 96, 0, 32, 1005, 10, 20, 27, false},
      {"5 rows of a 5-pixel window", 96, 0, 32, 10, 0, 250, 5, true},
      {"4 rows of a 5-pixel window", 96, 0, 32, 10, -1, 250, 5, false},
      {"an empty window at the corner", 96, 0, 32, 0, 0, 0, 0, true},
      {"a negative width at the right edge", 96, 0, 32, 1024, 0, -50, 27, false},
      {"40 columns at the right, 144 dpi", 144, 0, 32, 984, 100, 375, 41, false},
      {"48 columns at the right, 144 dpi", 144, 0, 32, 976, 100, 375, 41, true},
      {"63 columns at the right, 192 dpi", 192, 0, 32, 961, 100, 500, 54, false},
      {"64 columns at the right, 192 dpi", 192, 0, 32, 960, 100, 500, 54, true},
      {"10 caption rows at the bottom, 144 dpi", 144, 11, 33, 100, 747, 375, 55, false},
      {"12 caption rows at the bottom, 144 dpi", 144, 11, 33, 100, 745, 375, 55, true},
      {"31 columns and the frame at the right", 96, 8, 22, 985, 100, 250, 39, false},
      {"32 columns and the frame at the right", 96, 8, 22, 984, 100, 250, 39, true},
      {"31 columns and the frame at the left", 96, 8, 22, -211, 100, 250, 39, false},
      {"32 columns and the frame at the left", 96, 8, 22, -210, 100, 250, 39, true},
      {"no caption row at the top", 96, 8, 22, 100, -30, 250, 39, false},
      {"7 caption rows at the top", 96, 8, 22, 100, -23, 250, 39, false},
      {"8 caption rows at the top", 96, 8, 22, 100, -22, 250, 39, true},
      {"only the top frame at the bottom", 96, 8, 22, 100, 760, 250, 39, false},
      {"a frame wider than the window", 96, 8, 22, 1020, 100, 3, 3, true},
      {"a frame wider than the window, its edge shown", 96, 8, 22, 1023, 100, 3, 3, false},
      {"a frame taller than the window, above the screen", 96, 8, 22, 100, -3, 3, 3, false},
  };
  for (const auto& c : cases) {
    const Grip grip = GripAtDpi(c.dpi, c.frame, c.frame, c.caption);
    EXPECT_EQ(c.reachable,
              ShowsGrip(StoredPlaceProbe(c.left, c.top, c.width, c.height), grip, work))
        << c.what;
  }
}

}  // namespace
