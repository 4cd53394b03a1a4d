#include "art_files.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bmp.h"
#include "core/packed_picture.h"
#include "dialog_files.h"
#include "flame.h"
#include "icon.h"
#include "png.h"
#include "preview_still.h"

namespace vorn::art {

namespace {

constexpr int kSheetPreviewScale = 2;
constexpr int kIconPreviewScale = 4;
constexpr int kPreviewGap = 8;     // preview pixels between icons
constexpr int kCheckerSquare = 8;  // preview pixels per checkerboard square
constexpr Rgb kCheckerLight{204, 204, 204};
constexpr Rgb kCheckerDark{153, 153, 153};

}  // namespace

std::string PackedFileName(const std::string& bitmapFileName) {
  return std::filesystem::path(bitmapFileName).replace_extension(".packed").string();
}

Bytes EncodePacked(const RgbImage& image) {
  std::vector<Pixel> pixels;
  for (const Rgb& p : image.pixels()) pixels.push_back(Pixel{p.r} << 16 | Pixel{p.g} << 8 | p.b);
  return PackPicture(ConstPixelView(pixels.data(), image.width(), image.height(), image.width()));
}

std::string IconImageFileName(int size) { return "icon_" + std::to_string(size) + ".png"; }

RgbImage IconPreview() {
  int width = kPreviewGap;
  int height = 0;
  for (int size : kIconSizes) {
    width += size * kIconPreviewScale + kPreviewGap;
    height = std::max(height, size * kIconPreviewScale + 2 * kPreviewGap);
  }
  RgbaImage canvas(width, height);
  int left = kPreviewGap;
  for (int size : kIconSizes) {
    const RgbaImage icon = Enlarge(RenderIcon(size), kIconPreviewScale);
    for (int y = 0; y < icon.height(); ++y) {
      for (int x = 0; x < icon.width(); ++x) {
        canvas.at(left + x, kPreviewGap + y) = icon.at(x, y);
      }
    }
    left += icon.width() + kPreviewGap;
  }
  RgbImage result = Flatten(canvas, kCheckerLight);
  const RgbImage onDark = Flatten(canvas, kCheckerDark);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((x / kCheckerSquare + y / kCheckerSquare) % 2 == 1) {
        result.at(x, y) = onDark.at(x, y);
      }
    }
  }
  return result;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

void WriteBuildArt(const std::filesystem::path& outdir) {
  std::filesystem::create_directories(outdir);
  for (int size : kIconSizes) {
    WriteFile(outdir / IconImageFileName(size), EncodePng(RenderIcon(size)));
  }
  for (const auto& [name, picture] : {std::pair(kSheetFileName, RenderSpriteSheet()),
                                      std::pair(kStillFileName, RenderPreviewStill())}) {
    WriteFile(outdir / name, EncodeBmp24(picture));
    WriteFile(outdir / PackedFileName(name), EncodePacked(picture));
  }
  WriteDialogArt(outdir);
}

void WritePreviews(const std::filesystem::path& outdir) {
  std::filesystem::create_directories(outdir);
  WriteFile(outdir / kSheetPreviewFileName,
            EncodePng(Enlarge(RenderSpriteSheet(), kSheetPreviewScale)));
  WriteFile(outdir / kIconPreviewFileName, EncodePng(IconPreview()));
  WriteDialogPreviews(outdir);
}

}  // namespace vorn::art
