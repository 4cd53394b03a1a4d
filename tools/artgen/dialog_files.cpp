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

void Paste(RgbImage& canvas, const RgbImage& piece, int left, int top) {
  for (int y = 0; y < piece.height(); ++y) {
    for (int x = 0; x < piece.width(); ++x) {
      canvas.at(left + x, top + y) = piece.at(x, y);
    }
  }
}

// The cursor's opaque pixels over `canvas`; its pixels are either opaque or clear.
void PasteCursor(RgbImage& canvas, const RgbaImage& cursor, int left, int top) {
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
RgbImage CursorTile() {
  RgbImage tile(kCursorTileSide, kCursorTileSide);
  for (int y = 0; y < kCursorTileSide; ++y) {
    for (int x = 0; x < kCursorTileSide; ++x) {
      const bool dark = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 1;
      tile.at(x, y) = dark ? kCheckerDark : kCheckerLight;
    }
  }
  PasteCursor(tile, Enlarge(RenderHandCursor(), kPieceScale), 0, 0);
  return tile;
}

}  // namespace

std::vector<NamedFile> DialogArtFiles() {
  std::vector<NamedFile> files;
  const auto picture = [&files](const std::string& name, const RgbImage& image) {
    files.push_back({name, EncodeBmp24(image)});
    files.push_back({PackedFileName(name), EncodePacked(image)});
  };
  picture(kTitleBarFileName, RenderTitleBar());
  picture(kCloseReleasedFileName, RenderCloseBox(Face::Released));
  picture(kClosePressedFileName, RenderCloseBox(Face::Pressed));
  picture(kButtonReleasedFileName, RenderButtonFace(Face::Released));
  picture(kButtonPressedFileName, RenderButtonFace(Face::Pressed));
  files.push_back({kHandImageFileName, EncodePng(RenderHandCursor())});
  return files;
}

RgbImage DialogPiecesPreview() {
  const std::vector<RgbImage> pieces = {
      Enlarge(RenderCloseBox(Face::Released), kPieceScale),
      Enlarge(RenderCloseBox(Face::Pressed), kPieceScale),
      Enlarge(RenderButtonFace(Face::Released), kPieceScale),
      Enlarge(RenderButtonFace(Face::Pressed), kPieceScale),
      CursorTile(),
  };
  const RgbImage bar = Enlarge(RenderTitleBar(), kTitleBarScale);
  int width = kMargin;
  for (const RgbImage& piece : pieces) {
    width += piece.width() + kMargin;
  }
  const int piecesTop = kMargin + bar.height() + kMargin;
  RgbImage canvas(std::max(width, bar.width() + 2 * kMargin),
                  piecesTop + kCursorTileSide + kMargin);
  fill(canvas, Box{0, 0, canvas.width(), canvas.height()}, kDialogGrey);
  Paste(canvas, bar, kMargin, kMargin);
  int left = kMargin;
  for (const RgbImage& piece : pieces) {
    Paste(canvas, piece, left, piecesTop);
    left += piece.width() + kMargin;
  }
  return canvas;
}

RgbImage DialogMockup() {
  RgbImage dialog(kDialogWidth, kDialogHeight);
  fill(dialog, Box{0, 0, kDialogWidth, kDialogHeight}, kDialogGrey);
  Paste(dialog, StretchNearest(RenderTitleBar(), kTitleBarShownWidth, kTitleBarHeight), 0, 0);
  Paste(dialog, RenderCloseBox(Face::Released), kCloseBoxLeft, kCloseBoxTop);
  fill(dialog, kPreviewBox, kPreviewBoxColour);
  fill(dialog, kPanelBox, kPanelBoxColour);
  const auto button = [](Face face) {
    return StretchNearest(RenderButtonFace(face), kButtonShownWidth, kButtonShownHeight);
  };
  Paste(dialog, button(Face::Released), kSetButtonLeft, kButtonTop);
  Paste(dialog, button(Face::Pressed), kCancelButtonLeft, kButtonTop);
  PasteCursor(dialog, RenderHandCursor(), kMockupCursorLeft, kMockupCursorTop);
  return Enlarge(dialog, kMockupScale);
}

void WriteDialogArt(const std::filesystem::path& outdir) {
  std::filesystem::create_directories(outdir);
  for (const NamedFile& file : DialogArtFiles()) {
    WriteFile(outdir / file.name, file.bytes);
  }
}

void WriteDialogPreviews(const std::filesystem::path& outdir) {
  std::filesystem::create_directories(outdir);
  WriteFile(outdir / kDialogPiecesPreviewFileName, EncodePng(DialogPiecesPreview()));
  WriteFile(outdir / kDialogMockupPreviewFileName, EncodePng(DialogMockup()));
}

}  // namespace vorn::art
