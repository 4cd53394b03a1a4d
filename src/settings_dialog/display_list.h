// A repaint of the settings dialog as a list of steps: made by the dialog's
// model from what its controls show, carried out in order by the window,
// which only knows how to fill, copy a part of an image and draw a text.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vorn {

// The images a step copies from: the dialog's pictures (in DialogPicture's
// order), the title bar, and the surfaces the dialog's routines draw on.
enum class PaintImage : std::uint8_t {
  ButtonReleased,
  ButtonPressed,
  CloseReleased,
  ClosePressed,
  TitleBar,
  Backing,  // the window's own image (SurfaceId::DialogWindow)
  PicB,     // the panel behind the bars (SurfaceId::DialogPicB)
  Sheet,    // the sprite sheet at the window's scale (at 96 dpi SurfaceId::DialogSprites)
};
inline constexpr PaintImage ImageOf(DialogPicture picture) {
  return static_cast<PaintImage>(picture);
}
static_assert(ImageOf(DialogPicture::ClosePressed) == PaintImage::ClosePressed);

// A colour 0x00BBGGRR, or (`system`) the system's colour of that index.
struct PaintColour {
  std::uint32_t value = 0;
  bool system = false;
  bool operator==(const PaintColour&) const = default;
};
// The system's colours the dialog uses, by their COLOR_ index.
inline constexpr PaintColour kSystemWindow{5, true};
inline constexpr PaintColour kSystemWindowText{8, true};
inline constexpr PaintColour kSystemHighlight{13, true};
inline constexpr PaintColour kSystemHighlightText{14, true};
inline constexpr PaintColour kSystemButtonFace{15, true};
inline constexpr PaintColour kSystemButtonText{18, true};
inline constexpr PaintColour kSystemHotLight{26, true};  // a link

struct PaintStep {
  enum class Kind : std::uint8_t { Fill, Frame, Copy, Text };
  Kind kind = Kind::Fill;
  PixelRect to;           // on the window
  PaintColour colour;     // Fill, Frame (one pixel wide, inside `to`), Text
  PaintImage image{};     // Copy: its part `from`, smoothly stretched where
  PixelRect from;         //   its size is not `to`'s
  std::string_view text;  // Text: UTF-8 in the labels' font, from `to`'s corner;
                          // it lives as long as the model
  bool operator==(const PaintStep&) const = default;
};
using DisplayList = std::vector<PaintStep>;

PaintStep FillStep(const PixelRect& to, PaintColour colour);
PaintStep FrameStep(const PixelRect& to, PaintColour colour);
// The whole of an image of `size` over `to`.
PaintStep CopyStep(PaintImage image, ScreenSize size, const PixelRect& to);
PaintStep TextStep(const PixelRect& to, PaintColour colour, std::string_view text);

// An image of `size` over `to` with its one-pixel frame kept one pixel wide
// and only its inside stretched, so a button keeps a crisp bevel: nine
// copies, none for an image without an inside.
void AddFramed(DisplayList& list, PaintImage image, ScreenSize size, const PixelRect& to);

// Where the sprite sheet's cell at (x, y) of the 96 dpi sheet lies in the
// sheet rendered for `dpi`.
PixelRect SheetCell(std::int32_t x, std::int32_t y, std::int32_t dpi);

}  // namespace vorn
