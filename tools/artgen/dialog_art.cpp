#include "dialog_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace vorn::art {

namespace {

std::uint8_t ToByte(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

Rgb Mix(Rgb a, Rgb b, double t) {
  return Rgb{ToByte(a.r + (b.r - a.r) * t), ToByte(a.g + (b.g - a.g) * t),
             ToByte(a.b + (b.b - a.b) * t)};
}

Rgb Scaled(Rgb c, double factor) {
  return Rgb{ToByte(c.r * factor), ToByte(c.g * factor), ToByte(c.b * factor)};
}

Rgb Shifted(Rgb c, int amount) {
  return Rgb{ToByte(c.r + amount), ToByte(c.g + amount), ToByte(c.b + amount)};
}

// ---- Title bar ----------------------------------------------------------------

struct RowStop {
  int row;
  Rgb colour;
};

// Top to bottom: a pale highlight row, a bright band that sinks into deep
// navy, and a near-black bottom edge.
constexpr std::array<RowStop, 7> kTitleRows = {{
    {0, {112, 134, 206}},
    {1, {66, 90, 172}},
    {2, {50, 72, 156}},
    {10, {32, 50, 128}},
    {19, {16, 26, 84}},
    {20, {10, 16, 60}},
    {21, {3, 5, 26}},
}};
constexpr int kStripeFirstRow = 2;
constexpr int kStripeLastRow = 19;
constexpr double kStripeShade = 0.80;  // every other row of the band, darker
// Brightness from the left end (under the title text) to the right end.
constexpr double kTitleLeftLevel = 0.86;
constexpr double kTitleRightLevel = 1.14;
constexpr double kTitleLevelCurve = 1.6;

Rgb TitleRowColour(int y) {
  std::size_t upper = 1;
  while (upper + 1 < kTitleRows.size() && kTitleRows[upper].row < y) {
    ++upper;
  }
  const RowStop& a = kTitleRows[upper - 1];
  const RowStop& b = kTitleRows[upper];
  const double t = std::clamp(static_cast<double>(y - a.row) / (b.row - a.row), 0.0, 1.0);
  const Rgb c = Mix(a.colour, b.colour, t);
  const bool stripe = y >= kStripeFirstRow && y <= kStripeLastRow && (y - kStripeFirstRow) % 2 == 1;
  return stripe ? Scaled(c, kStripeShade) : c;
}

// ---- Bevelled boxes -----------------------------------------------------------

// Colours of one bevelled box: its face runs from faceTop to faceBottom.
struct Bevel {
  Rgb outline;  // outermost ring
  Rgb topLeft;
  Rgb bottomRight;
  Rgb faceTop;
  Rgb faceBottom;
};

constexpr Rgb kCloseOutline{8, 12, 44};
constexpr Rgb kCloseLight{244, 247, 255};
constexpr Rgb kCloseShadow{92, 102, 146};
constexpr Rgb kCloseMark{14, 22, 74};
constexpr Bevel kCloseReleased{
    kCloseOutline, kCloseLight, kCloseShadow, {218, 224, 244}, {170, 180, 214}};
constexpr Bevel kClosePressed{
    kCloseOutline, kCloseShadow, kCloseLight, {160, 170, 206}, {196, 204, 232}};
constexpr int kMarkReach = 3;  // the x spans 7 x 7 pixels around the centre

// The x: two diagonals three pixels thick, cut to a square.
bool InMark(int dx, int dy) {
  if (std::max(std::abs(dx), std::abs(dy)) > kMarkReach) {
    return false;
  }
  return std::abs(dx - dy) <= 1 || std::abs(dx + dy) <= 1;
}

// A `width` x `height` box: outline ring, one bevel ring, vertical gradient face.
RgbImage BevelledBox(int width, int height, const Bevel& bevel) {
  RgbImage box(width, height);
  for (int y = 0; y < height; ++y) {
    const Rgb face = Mix(bevel.faceTop, bevel.faceBottom, static_cast<double>(y) / (height - 1));
    for (int x = 0; x < width; ++x) {
      const int edge = std::min({x, y, width - 1 - x, height - 1 - y});
      Rgb c = face;
      if (edge == 0) {
        c = bevel.outline;
      } else if (edge == 1) {
        const bool lit = x == 1 || y == 1;
        const bool shaded = x == width - 2 || y == height - 2;
        c = lit && !shaded ? bevel.topLeft : bevel.bottomRight;
      }
      box.at(x, y) = c;
    }
  }
  return box;
}

void DrawMark(RgbImage& box, int centreX, int centreY) {
  for (int dy = -kMarkReach; dy <= kMarkReach; ++dy) {
    for (int dx = -kMarkReach; dx <= kMarkReach; ++dx) {
      if (InMark(dx, dy)) {
        box.at(centreX + dx, centreY + dy) = kCloseMark;
      }
    }
  }
}

// ---- Button faces -------------------------------------------------------------

// A face is a vertical gradient with a one-row edge above and below. The
// stretch widens each side column about four times, so the sides only darken
// the face a little, like a rounded surface, rather than draw a hard edge.
struct ButtonLook {
  Rgb faceTop;
  Rgb faceBottom;
  Rgb topEdge;
  Rgb bottomEdge;
  int leftShift;        // added to the face colour in the left column
  int rightShift;       // added to the face colour in the right column
  int nearTopShift;     // added in the second row from the top
  int nearBottomShift;  // added in the second row from the bottom
};

constexpr ButtonLook kButtonReleased{
    {246, 246, 250}, {186, 188, 198}, {255, 255, 255}, {64, 64, 72}, -6, -26, 4, -18};
constexpr ButtonLook kButtonPressed{
    {158, 160, 170}, {204, 206, 214}, {64, 64, 72}, {232, 232, 238}, -22, -4, -14, 6};

Rgb ButtonPixel(const ButtonLook& look, int x, int y) {
  const Rgb face =
      Mix(look.faceTop, look.faceBottom, static_cast<double>(y) / (kButtonFaceHeight - 1));
  if (y == 0) return look.topEdge;
  if (y == kButtonFaceHeight - 1) return look.bottomEdge;
  int shift = 0;
  if (y == 1) shift += look.nearTopShift;
  if (y == kButtonFaceHeight - 2) shift += look.nearBottomShift;
  if (x == 0) shift += look.leftShift;
  if (x == kButtonFaceWidth - 1) shift += look.rightShift;
  return Shifted(face, shift);
}

}  // namespace

RgbImage RenderTitleBar() {
  RgbImage bar(kTitleBarWidth, kTitleBarHeight);
  for (int x = 0; x < kTitleBarWidth; ++x) {
    const double along = std::pow(static_cast<double>(x) / (kTitleBarWidth - 1), kTitleLevelCurve);
    const double level = kTitleLeftLevel + (kTitleRightLevel - kTitleLeftLevel) * along;
    for (int y = 0; y < kTitleBarHeight; ++y) {
      bar.at(x, y) = Scaled(TitleRowColour(y), level);
    }
  }
  return bar;
}

RgbImage RenderCloseBox(Face face) {
  constexpr int kCentre = kCloseBoxSide / 2;
  if (face == Face::Released) {
    RgbImage box = BevelledBox(kCloseBoxSide, kCloseBoxSide, kCloseReleased);
    DrawMark(box, kCentre, kCentre);
    return box;
  }
  // The pressed box keeps the released box's place and size; its extra
  // column repeats the title bar the dialog shows just right of the box.
  const RgbImage square = BevelledBox(kCloseBoxSide, kCloseBoxSide, kClosePressed);
  const RgbImage shownBar = StretchNearest(RenderTitleBar(), kTitleBarShownWidth, kTitleBarHeight);
  RgbImage box(kClosePressedWidth, kCloseBoxSide);
  for (int y = 0; y < kCloseBoxSide; ++y) {
    for (int x = 0; x < kCloseBoxSide; ++x) {
      box.at(x, y) = square.at(x, y);
    }
    box.at(kCloseBoxSide, y) = shownBar.at(kCloseBoxLeft + kCloseBoxSide, kCloseBoxTop + y);
  }
  DrawMark(box, kCentre + 1, kCentre + 1);
  return box;
}

RgbImage RenderButtonFace(Face face) {
  const ButtonLook& look = face == Face::Released ? kButtonReleased : kButtonPressed;
  RgbImage image(kButtonFaceWidth, kButtonFaceHeight);
  for (int y = 0; y < kButtonFaceHeight; ++y) {
    for (int x = 0; x < kButtonFaceWidth; ++x) {
      image.at(x, y) = ButtonPixel(look, x, y);
    }
  }
  return image;
}

RgbImage StretchNearest(const RgbImage& source, int width, int height) {
  RgbImage result(width, height);
  for (int y = 0; y < height; ++y) {
    const int sy = y * source.height() / height;
    for (int x = 0; x < width; ++x) {
      result.at(x, y) = source.at(x * source.width() / width, sy);
    }
  }
  return result;
}

}  // namespace vorn::art
