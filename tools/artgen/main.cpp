// artgen: renders Vorn's pictures for the Windows resource compiler.
//
//   artgen <outdir>              writes icon_16.png ... icon_256.png (the
//                                sizes of vorn.ico), sprite_sheet.bmp,
//                                preview_still.bmp and the settings dialog's
//                                title_bar.bmp, close_released.bmp,
//                                close_pressed.bmp, button_released.bmp,
//                                button_pressed.bmp and hand.png (the image of
//                                hand.cur), each bitmap also packed as
//                                <name>.packed, which the program embeds;
//                                the build makes vorn.ico and hand.cur with
//                                icotool
//   artgen <outdir> --previews   also writes sprite_sheet.png (2x),
//                                vorn_icon.png (every icon size, 4x),
//                                dialog_pieces.png (8x) and dialog_mockup.png
//                                (the dialog, 2x) to look at
//
// Output is a pure function of this program: no clock, no system randomness.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "art_files.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || (argc == 3 && std::string_view(argv[2]) != "--previews")) {
    std::cerr << "usage: artgen <outdir> [--previews]\n";
    return 2;
  }
  try {
    const std::filesystem::path outdir = argv[1];
    vorn::art::WriteBuildArt(outdir);
    if (argc == 3) {
      vorn::art::WritePreviews(outdir);
    }
  } catch (const std::exception& error) {
    std::cerr << "artgen: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
