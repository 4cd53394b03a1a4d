#include "dialog_files.h"

#include <algorithm>

#include "art_files.h"
#include "bmp.h"
#include "dialog_art.h"
#include "hand_cursor.h"
#include "png.h"

namespace vorn::art {

namespace {

constexpr int kPieceScale = 8;
constexpr int kTitleBarScale = 2;
constexpr int kMockupScale = 2;
constexpr int kMargin = 16;  // preview pixels around and between pieces
constexpr int kCursorTileSide = kCursorSide * kPieceScale;
constexpr int kCheckerSquare = kPieceScale * 4;
constexpr Rgb kCheckerLight{236, 236, 236};
constexpr Rgb kCheckerDark{40, 44, 60};

// The dialog as the program lays it out, in dialog pixels: its size, the
// two picture boxes (flame preview, settings panel) and the two buttons.
constexpr int kDialogWidth = 396;
constexpr int kDialogHeight = 230;
struct Box {
  int left, top, width, height;
};
constexpr Box kPreviewBox{16, 40, 109, 93};
constexpr Box kPanelBox{144, 40, 233, 93};
constexpr Rgb kPreviewBoxColour{0, 0, 0};
constexpr Rgb kPanelBoxColour{64, 64, 64};
constexpr int kButtonTop = 164;
constexpr int kSetButtonLeft = 188;
constexpr int kCancelButtonLeft = 284;
constexpr int kMockupCursorLeft = 60;
constexpr int kMockupCursorTop = 190;

void paste(RgbImage& canvas, const RgbImage& piece, int left, int top) {
  for (int y = 0; y < piece.height(); ++y) {
    for (int x = 0; x < piece.width(); ++x) {
      canvas.at(left + x, top + y) = piece.at(x, y);
    }
  }
}

// The cursor's opaque pixels over `canvas`; its pixels are either opaque or clear.
void pasteCursor(RgbImage& canvas, const RgbaImage& cursor, int left, int top) {
  for (int y = 0; y < cursor.height(); ++y) {
    for (int x = 0; x < cursor.width(); ++x) {
      const Rgba& p = cursor.at(x, y);
      if (p.a != 0) {
        canvas.at(left + x, top + y) = Rgb{p.r, p.g, p.b};
      }
    }
  }
}

void fill(RgbImage& canvas, const Box& box, Rgb colour) {
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      canvas.at(x, y) = colour;
    }
  }
}

// The enlarged cursor on a light and dark checkerboard, so both its outline
// and its fill show.
RgbImage cursorTile() {
  RgbImage tile(kCursorTileSide, kCursorTileSide);
  for (int y = 0; y < kCursorTileSide; ++y) {
    for (int x = 0; x < kCursorTileSide; ++x) {
      const bool dark = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 1;
      tile.at(x, y) = dark ? kCheckerDark : kCheckerLight;
    }
  }
  pasteCursor(tile, enlarge(renderHandCursor(), kPieceScale), 0, 0);
  return tile;
}

}  // namespace

std::vector<NamedFile> dialogArtFiles() {
  std::vector<NamedFile> files;
  files.push_back({kTitleBarFileName, encodeBmp24(renderTitleBar())});
  files.push_back({kCloseReleasedFileName, encodeBmp24(renderCloseBox(Face::Released))});
  files.push_back({kClosePressedFileName, encodeBmp24(renderCloseBox(Face::Pressed))});
  files.push_back({kButtonReleasedFileName, encodeBmp24(renderButtonFace(Face::Released))});
  files.push_back({kButtonPressedFileName, encodeBmp24(renderButtonFace(Face::Pressed))});
  files.push_back({kHandImageFileName, encodePng(renderHandCursor())});
  return files;
}

RgbImage dialogPiecesPreview() {
  const std::vector<RgbImage> pieces = {
      enlarge(renderCloseBox(Face::Released), kPieceScale),
      enlarge(renderCloseBox(Face::Pressed), kPieceScale),
      enlarge(renderButtonFace(Face::Released), kPieceScale),
      enlarge(renderButtonFace(Face::Pressed), kPieceScale),
      cursorTile(),
  };
  const RgbImage bar = enlarge(renderTitleBar(), kTitleBarScale);
  int width = kMargin;
  for (const RgbImage& piece : pieces) {
    width += piece.width() + kMargin;
  }
  const int piecesTop = kMargin + bar.height() + kMargin;
  RgbImage canvas(std::max(width, bar.width() + 2 * kMargin),
                  piecesTop + kCursorTileSide + kMargin);
  fill(canvas, Box{0, 0, canvas.width(), canvas.height()}, kDialogGrey);
  paste(canvas, bar, kMargin, kMargin);
  int left = kMargin;
  for (const RgbImage& piece : pieces) {
    paste(canvas, piece, left, piecesTop);
    left += piece.width() + kMargin;
  }
  return canvas;
}

RgbImage dialogMockup() {
  RgbImage dialog(kDialogWidth, kDialogHeight);
  fill(dialog, Box{0, 0, kDialogWidth, kDialogHeight}, kDialogGrey);
  paste(dialog, stretchNearest(renderTitleBar(), kTitleBarShownWidth, kTitleBarHeight), 0, 0);
  paste(dialog, renderCloseBox(Face::Released), kCloseBoxLeft, kCloseBoxTop);
  fill(dialog, kPreviewBox, kPreviewBoxColour);
  fill(dialog, kPanelBox, kPanelBoxColour);
  const auto button = [](Face face) {
    return stretchNearest(renderButtonFace(face), kButtonShownWidth, kButtonShownHeight);
  };
  paste(dialog, button(Face::Released), kSetButtonLeft, kButtonTop);
  paste(dialog, button(Face::Pressed), kCancelButtonLeft, kButtonTop);
  pasteCursor(dialog, renderHandCursor(), kMockupCursorLeft, kMockupCursorTop);
  return enlarge(dialog, kMockupScale);
}

void writeDialogArt(const std::filesystem::path& outdir) {
  std::filesystem::create_directories(outdir);
  for (const NamedFile& file : dialogArtFiles()) {
    writeFile(outdir / file.name, file.bytes);
  }
}

void writeDialogPreviews(const std::filesystem::path& outdir) {
  std::filesystem::create_directories(outdir);
  writeFile(outdir / kDialogPiecesPreviewFileName, encodePng(dialogPiecesPreview()));
  writeFile(outdir / kDialogMockupPreviewFileName, encodePng(dialogMockup()));
}

}  // namespace vorn::art
