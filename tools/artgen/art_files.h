// The art tool's products as files. The build assembles the icon's images
// (one PNG per size) and the hand cursor's image into vorn.ico and hand.cur
// with icotool; everything else the resource compiler takes as written here.
#pragma once

#include <filesystem>
#include <string>

#include "image.h"

namespace vorn::art {

inline constexpr const char* kSheetFileName = "sprite_sheet.bmp";
inline constexpr const char* kStillFileName = "preview_still.bmp";
inline constexpr const char* kSheetPreviewFileName = "sprite_sheet.png";
inline constexpr const char* kIconPreviewFileName = "vorn_icon.png";

// The program embeds each bitmap packed (core/packed_picture.h), as
// "<name>.packed"; the bitmap file itself is the picture to look at and the
// tests' reference. PackedFileName("title_bar.bmp") is "title_bar.packed".
std::string PackedFileName(const std::string& bitmapFileName);
Bytes EncodePacked(const RgbImage& image);

// "icon_<size>.png": the icon drawn at one of kIconSizes.
std::string IconImageFileName(int size);

// Picture of all icon sizes side by side on a checkerboard (shows transparency).
RgbImage IconPreview();

// Writes the icon's images, sprite_sheet.bmp, preview_still.bmp (each also
// packed) and the settings dialog's pictures (dialog_files.h) into `outdir`, creating it if needed.
void WriteBuildArt(const std::filesystem::path& outdir);

// Writes the PNG previews (sheet 2x, icons 4x, dialog pieces) into `outdir`.
void WritePreviews(const std::filesystem::path& outdir);

// Writes `bytes` to `path`; throws std::runtime_error on failure.
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace vorn::art
