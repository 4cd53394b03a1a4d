// The settings dialog's skin: a striped navy title bar, the close box in its
// two states and the face of the picture buttons in their two states.
//
// The dialog is 396 x 230 pixels on grey (kDialogGrey). It stretches the title
// bar to 395 x 22 and writes white text over its left part, and stretches the
// button faces to 91 x 22 under black captions. GDI stretches by picking the
// nearest pixel, so the pictures avoid detail that would break up: the button
// face varies smoothly from top to bottom and hardly at all from side to side.
#pragma once

#include "image.h"

namespace vorn::art {

inline constexpr int kTitleBarWidth = 500;
inline constexpr int kTitleBarHeight = 22;
inline constexpr int kCloseBoxSide = 15;
inline constexpr int kClosePressedWidth = 16;  // one column more than released
inline constexpr int kButtonFaceWidth = 21;
inline constexpr int kButtonFaceHeight = 20;

// Where and how large the dialog shows its pictures, in dialog pixels.
inline constexpr int kTitleBarShownWidth = 395;
inline constexpr int kCloseBoxLeft = 376;
inline constexpr int kCloseBoxTop = 4;
inline constexpr int kButtonShownWidth = 91;
inline constexpr int kButtonShownHeight = 22;

inline constexpr Rgb kDialogGrey{128, 128, 128};

enum class Face { Released, Pressed };

RgbImage RenderTitleBar();
RgbImage RenderCloseBox(Face face);    // 15 x 15 released, 16 x 15 pressed
RgbImage RenderButtonFace(Face face);  // 21 x 20

// Nearest-pixel resize, the way GDI's StretchBlt picks source pixels.
RgbImage StretchNearest(const RgbImage& source, int width, int height);

}  // namespace vorn::art
