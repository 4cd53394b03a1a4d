#include "hand_cursor.h"

#include <array>
#include <string_view>

namespace vorn::art {

namespace {

// One character per pixel: '#' outline, 'o' fill, '.' transparent. The
// fingertip's top row is row 1, centred on column 12 (the hot spot).
constexpr std::array<std::string_view, kCursorSide> kHand = {{
    "................................", "...........###..................",
    "..........#ooo#.................", "..........#ooo#.................",
    "..........#ooo#.................", "..........#ooo#.................",
    "..........#ooo#.................", "..........#ooo####..............",
    "..........#ooo#ooo####..........", "..........#ooo#ooo#ooo####......",
    "..........#ooo#ooo#ooo#ooo#.....", "..........#ooo#ooo#ooo#ooo#.....",
    "....###...#ooooooooooooooo#.....", "...#ooo#..#ooooooooooooooo#.....",
    "...#oooo#.#ooooooooooooooo#.....", "....#oooo##ooooooooooooooo#.....",
    ".....#ooooooooooooooooooo#......", "......#oooooooooooooooooo#......",
    ".......#ooooooooooooooooo#......", "........#ooooooooooooooo#.......",
    ".........#oooooooooooooo#.......", "..........#ooooooooooooo#.......",
    "..........#ooooooooooooo#.......", "..........###############.......",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
}};

constexpr bool EveryRowIsFull() {
  for (std::string_view row : kHand) {
    if (row.size() != static_cast<std::size_t>(kCursorSide)) {
      return false;
    }
  }
  return true;
}
static_assert(EveryRowIsFull(), "each row of the hand must be 32 pixels");

constexpr char kOutlineMark = '#';
constexpr char kFillMark = 'o';
constexpr Rgba kOutline{0, 0, 0, 255};
constexpr Rgba kFill{255, 255, 255, 255};

}  // namespace

RgbaImage RenderHandCursor() {
  RgbaImage image(kCursorSide, kCursorSide);
  for (int y = 0; y < kCursorSide; ++y) {
    for (int x = 0; x < kCursorSide; ++x) {
      const char mark = kHand[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      if (mark == kOutlineMark) {
        image.at(x, y) = kOutline;
      } else if (mark == kFillMark) {
        image.at(x, y) = kFill;
      }
    }
  }
  return image;
}

}  // namespace vorn::art
