// The art tool's products, as bytes and as files.
#pragma once

#include "byte_writer.h"
#include "image.h"

#include <filesystem>

namespace vorn::art {

inline constexpr const char* kIconFileName = "vorn.ico";
inline constexpr const char* kSheetFileName = "sprite_sheet.bmp";
inline constexpr const char* kStillFileName = "preview_still.bmp";
inline constexpr const char* kSheetPreviewFileName = "sprite_sheet.png";
inline constexpr const char* kIconPreviewFileName = "vorn_icon.png";

Bytes buildIconFile();   // vorn.ico: every size in kIconSizes
Bytes buildSheetFile();  // sprite_sheet.bmp
Bytes buildStillFile();  // preview_still.bmp

// Picture of all icon sizes side by side on a checkerboard (shows transparency).
RgbImage iconPreview();

// Writes vorn.ico, sprite_sheet.bmp, preview_still.bmp and the settings
// dialog's pictures (dialog_files.h) into `outdir`, creating it if needed.
void writeBuildArt(const std::filesystem::path& outdir);

// Writes the PNG previews (sheet 2x, icons 4x, dialog pieces) into `outdir`.
void writePreviews(const std::filesystem::path& outdir);

// Writes `bytes` to `path`; throws std::runtime_error on failure.
void writeFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace vorn::art
