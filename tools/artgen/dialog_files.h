// The settings dialog's picture files: five bitmaps (each also packed) and
// the hand cursor's image (the build makes hand.cur of it), plus PNG previews
// to look at.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "image.h"

namespace vorn::art {

inline constexpr const char* kTitleBarFileName = "title_bar.bmp";
inline constexpr const char* kCloseReleasedFileName = "close_released.bmp";
inline constexpr const char* kClosePressedFileName = "close_pressed.bmp";
inline constexpr const char* kButtonReleasedFileName = "button_released.bmp";
inline constexpr const char* kButtonPressedFileName = "button_pressed.bmp";
inline constexpr const char* kHandImageFileName = "hand.png";
inline constexpr const char* kDialogPiecesPreviewFileName = "dialog_pieces.png";
inline constexpr const char* kDialogMockupPreviewFileName = "dialog_mockup.png";

struct NamedFile {
  std::string name;
  Bytes bytes;
};

// Every dialog picture by file name: the bitmaps (each also packed) and the
// cursor's image.
std::vector<NamedFile> DialogArtFiles();

// Each piece enlarged 8x (the title bar 2x) on the dialog's grey.
RgbImage DialogPiecesPreview();

// The pieces stretched and placed as the dialog shows them, the whole 2x.
RgbImage DialogMockup();

void WriteDialogArt(const std::filesystem::path& outdir);
void WriteDialogPreviews(const std::filesystem::path& outdir);

}  // namespace vorn::art
